// The log's runs as a table for a view, fetched a page at a time so 100,000
// runs open about as fast as a hundred. The first page's ids come sorted and
// filtered on their own; past it, SQLite sorts and filters once, giving only
// the run ids in order, and each page then reads its runs by id, so a page
// deep in the table, in any order, costs what the second one does. The
// columns are the log's column table's (log_columns.h), then two figures of
// each run's air that the log does not store: its density altitude and its ET
// corrected to the chosen standard's day, worked out for the rows loaded.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "moravik/raceday/units.h"
#include "moravik/runlog/log_columns.h"
#include "moravik/runlog/run_log.h"

namespace moravik::runlog {

class RunTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Names for the columns the window's code picks out.
    enum Column {
        When = tableColumnNamed("run_at"),
        VehicleName = tableColumnNamed("vehicle_id"),
        Strip = tableColumnNamed("strip"),
        Lane = tableColumnNamed("lane"),
        Et = tableColumnNamed("et_s"),
        Speed = tableColumnNamed("speed_m_s"),
        SixtyFoot = tableColumnNamed("sixty_ft_s"),
        NitrousJet = tableColumnNamed("nitrous_jet_in"),
        Temperature = tableColumnNamed("air_k"),
        Pressure = tableColumnNamed("air_pressure_pa"),
        Moisture = tableColumnNamed("air_moisture"),
        Notes = tableColumnNamed("notes"),
        DensityAltitude = static_cast<int>(tableColumnCount),
        CorrectedEt,
        ColumnCount
    };

    // The run's id, for editing and deleting the run of a row; runAt() gives
    // the whole run with its values in SI units.
    static constexpr int runIdRole = Qt::UserRole + 1;
    static constexpr int pageRows = 256;

    // Shows the newest runs first; `log` must outlive the model.
    explicit RunTableModel(RunLog& log, QObject* parent = nullptr);

    void setFilter(const RunFilter& filter);
    void setUnitSystem(raceday::UnitSystem system);
    // The standard of the Corrected ET column.
    void setStandard(raceday::Standard standard);
    // Starts again from the first page, after the log has changed.
    void reload();

    const Run& runAt(int row) const { return rows_[static_cast<std::size_t>(row)].run; }
    // Every run the filter shows, loaded into rows or not yet.
    const std::vector<RunId>& shownRunIds();
    // The error of the last fetch, which ended the table there; empty while all is well.
    const LogStatus& lastError() const { return lastError_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // A page could not be read; the message is for the status bar.
    void fetchFailed(const QString& message);

private:
    void failed(const LogError& error);
    QString figureText(const Run& run, int column) const;
    // Reads the ids of all the runs shown, past the first page's.
    void completeOrder();

    RunLog& log_;
    RunFilter filter_;
    raceday::UnitSystem system_ = raceday::UnitSystem::Imperial;
    raceday::Standard standard_ = raceday::defaultStandard;
    int sortColumn_ = When;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
    std::vector<RunId> order_;   // the runs the filter lets through, sorted
    bool orderComplete_ = true;  // or only the first page's are known
    std::size_t fetched_ = 0;    // how much of order_ has been read into rows_
    std::vector<RunLog::NamedRun> rows_;
    LogStatus lastError_;
};

}  // namespace moravik::runlog

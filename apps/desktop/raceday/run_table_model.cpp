#include "run_table_model.h"

#include <QCoreApplication>
#include <unordered_map>

namespace moravik::runlog {

RunTableModel::RunTableModel(RunLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log) {
    reload();
}

void RunTableModel::setFilter(const RunFilter& filter) {
    filter_ = filter;
    reload();
}

void RunTableModel::setUnitSystem(raceday::UnitSystem system) {
    system_ = system;
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void RunTableModel::setStandard(raceday::Standard standard) {
    if (standard == standard_) return;
    standard_ = standard;
    if (sortColumn_ == CorrectedEt) {
        reload();
    } else if (!rows_.empty()) {
        emit dataChanged(index(0, CorrectedEt), index(rowCount() - 1, CorrectedEt));
    }
}

void RunTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    sortColumn_ = column;
    sortOrder_ = order;
    reload();
}

void RunTableModel::failed(const LogError& error) {
    lastError_ = error;
    emit fetchFailed(QString::fromStdString(error.message));
}

void RunTableModel::reload() {
    beginResetModel();
    rows_.clear();
    order_.clear();
    fetched_ = 0;
    orderComplete_ = true;
    lastError_.reset();
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    // A figure of the air is sorted over every run shown; a stored column
    // gives its first page alone, with one id more to say whether more follow.
    const bool byFigure = sortColumn_ == DensityAltitude || sortColumn_ == CorrectedEt;
    auto ids = byFigure ? log_.sortedRunIds(filter_,
                                            sortColumn_ == DensityAltitude ? RunFigure::DensityAltitude
                                                                           : RunFigure::CorrectedEt,
                                            standard_, ascending)
                        : log_.sortedRunIds(filter_, sortColumn_, ascending, pageRows + 1);
    if (auto* found = std::get_if<std::vector<RunId>>(&ids)) {
        order_ = std::move(*found);
        orderComplete_ = byFigure || order_.size() <= static_cast<std::size_t>(pageRows);
        if (!orderComplete_) order_.pop_back();
    }
    endResetModel();
    if (const LogError* error = logErrorOf(ids)) {
        failed(*error);
        return;
    }
    fetchMore({});
}

void RunTableModel::completeOrder() {
    if (orderComplete_) return;
    orderComplete_ = true;
    auto ids = log_.sortedRunIds(filter_, sortColumn_, sortOrder_ == Qt::AscendingOrder);
    if (const LogError* error = logErrorOf(ids)) {
        order_.resize(fetched_);  // the table ends here
        failed(*error);
        return;
    }
    order_ = std::get<std::vector<RunId>>(std::move(ids));
}

const std::vector<RunId>& RunTableModel::shownRunIds() {
    completeOrder();
    return order_;
}

bool RunTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && (fetched_ < order_.size() || !orderComplete_);
}

void RunTableModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    if (fetched_ == order_.size()) completeOrder();
    if (fetched_ >= order_.size()) return;
    const std::size_t end = std::min(order_.size(), fetched_ + pageRows);
    auto result = log_.runsWithNames(std::span(order_).subspan(fetched_, end - fetched_));
    if (const LogError* error = logErrorOf(result)) {
        order_.resize(fetched_);  // the table ends here
        failed(*error);
        return;
    }
    std::unordered_map<RunId, RunLog::NamedRun> found;
    for (auto& row : std::get<std::vector<RunLog::NamedRun>>(result)) {
        const RunId id = row.run.id;
        found.emplace(id, std::move(row));
    }
    // In the sorted order; a run deleted since the order was read is left out.
    std::vector<RunLog::NamedRun> page;
    for (std::size_t i = fetched_; i < end; ++i) {
        if (auto row = found.find(order_[i]); row != found.end()) {
            page.push_back(std::move(row->second));
        }
    }
    fetched_ = end;
    if (page.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    std::move(page.begin(), page.end(), std::back_inserter(rows_));
    endInsertRows();
}

int RunTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RunTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RunTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount) {
        return {};
    }
    if (section == DensityAltitude) return tr("Density altitude");
    if (section == CorrectedEt) return tr("Corrected ET");
    const std::string title(tableColumn(static_cast<std::size_t>(section)).title);
    return QCoreApplication::translate("RunTableModel", title.c_str());
}

// As Today's air shows them: density altitude to the foot or metre, ET to the thousandth.
QString RunTableModel::figureText(const Run& run, int column) const {
    const bool altitude = column == DensityAltitude;
    const auto figure =
        runFigure(run, altitude ? RunFigure::DensityAltitude : RunFigure::CorrectedEt, standard_);
    if (!figure) return {};
    return QString::fromStdString(raceday::displayText(
        *figure, altitude ? raceday::Quantity::Elevation : raceday::Quantity::Time, system_));
}

QVariant RunTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) return {};
    const auto& row = rows_[static_cast<std::size_t>(index.row())];
    const bool figure = index.column() >= DensityAltitude;
    const LogColumn* column =
        figure ? nullptr : &tableColumn(static_cast<std::size_t>(index.column()));
    switch (role) {
        case Qt::DisplayRole:
            return figure ? figureText(row.run, index.column())
                          : QString::fromStdString(
                                shownText(*column, row.run, row.vehicleName, system_));
        case Qt::TextAlignmentRole:
            return figure || isNumberKind(column->kind)
                       ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                       : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case runIdRole:
            return QVariant::fromValue<qint64>(row.run.id);
        default:
            return {};
    }
}

}  // namespace moravik::runlog

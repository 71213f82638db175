#include "moravik/runlog/run_csv.h"

#include <QHash>
#include <array>
#include <charconv>
#include <cmath>
#include <set>

#include "moravik/runlog/csv.h"
#include "moravik/runlog/plausible.h"
#include "run_values.h"

namespace moravik::runlog {
namespace {

using detail::RunColumn;
using detail::runColumns;

// The column a header name names, and the unit its numbers are in.
struct HeaderColumn {
    RunColumn column;
    const raceday::Unit* unit;  // nullptr: text, or a number in the column's only unit
};

std::optional<HeaderColumn> findColumn(const QString& name) {
    for (const auto& info : runColumns) {
        const QString key = QLatin1String(info.key);
        if (!info.quantity) {
            if (name == key) return HeaderColumn{info.column, nullptr};
            continue;
        }
        if (!name.startsWith(key + QLatin1Char('_'))) continue;
        const QByteArray symbol = name.mid(key.size() + 1).toUtf8();
        const auto* unit = raceday::findUnit(symbol.toStdString(),
                                             raceday::quantityInfo(*info.quantity).dimension);
        if (unit != nullptr) return HeaderColumn{info.column, unit};
    }
    return std::nullopt;
}

struct Header {
    std::vector<std::optional<HeaderColumn>> columns;  // by field; none for an unknown name
};

LogResult<Header> readHeader(const CsvRecord& record) {
    const auto refuse = [&](const QString& why) {
        return LogError{Problem::Invalid,
                        QStringLiteral("line %1: %2; nothing was imported.")
                            .arg(QString::number(record.line), why),
                        QStringLiteral("header")};
    };
    if (!record.problem.isEmpty()) return refuse(record.problem);
    Header header;
    std::set<RunColumn> seen;
    for (const QString& name : record.fields) {
        const auto column = findColumn(name.trimmed());
        if (column && !seen.insert(column->column).second) {
            return refuse(QStringLiteral("the column \"%1\" appears twice").arg(name));
        }
        header.columns.push_back(column);
    }
    for (const auto& info : runColumns) {
        if (info.required && !seen.contains(info.column)) {
            return refuse(QStringLiteral("the header has no column %1").arg(info.key));
        }
    }
    return header;
}

std::optional<double> readNumber(const QString& text) {
    const QByteArray bytes = text.trimmed().toUtf8();
    double value = 0;
    const auto [end, error] = std::from_chars(bytes.begin(), bytes.end(), value);
    if (error != std::errc() || end != bytes.end() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The row's cells by column, in the log's own units; or what is wrong.
LogResult<detail::RunCells> readCells(const Header& header, const CsvRecord& record) {
    const auto wrong = [&](const QString& why) {
        return LogError{Problem::Invalid,
                        QStringLiteral("line %1: %2").arg(QString::number(record.line), why)};
    };
    if (!record.problem.isEmpty()) return wrong(record.problem);
    if (record.fields.size() != static_cast<qsizetype>(header.columns.size())) {
        return wrong(QStringLiteral("%1 fields where the header has %2")
                         .arg(QString::number(record.fields.size()),
                              QString::number(header.columns.size())));
    }
    detail::RunCells cells;
    for (std::size_t i = 0; i < header.columns.size(); ++i) {
        const auto& column = header.columns[i];
        const QString& text = record.fields[static_cast<qsizetype>(i)];
        if (!column || text.trimmed().isEmpty()) continue;
        const auto& info = detail::columnInfo(column->column);
        if (!info.quantity && !info.isNumber) {
            cells.texts[column->column] = unguardedCell(text);
            continue;
        }
        const auto number = readNumber(text);
        if (!number) {
            return wrong(QStringLiteral("%1 \"%2\" is not a number").arg(info.key, text));
        }
        cells.numbers[column->column] =
            column->unit != nullptr ? raceday::toSi(*number, *column->unit) : *number;
    }
    return cells;
}

// Reads the file and adds its runs; `runs` is flushed every so many rows so
// memory stays bounded however long the file is.
class Importer {
public:
    Importer(RunLog& log, CsvImport& report) : log_(log), report_(report) {}

    LogStatus run(CsvReader& reader, const Header& header) {
        CsvRecord record;
        while (reader.next(record)) {
            LogStatus failed = addRow(header, record);
            if (!failed && pending_.size() >= batchSize) failed = flush();
            if (failed) return failed;
        }
        return flush();
    }

private:
    static constexpr std::size_t batchSize = 1000;

    void note(const LogError& problem, qint64 line) {
        if (report_.problems.size() < maxCsvProblems) {
            report_.problems.push_back({line, problem.message});
        } else {
            ++report_.problemsLeftOut;
        }
    }

    LogResult<VehicleId> vehicleFor(const QString& name) {
        const QString key = name.trimmed().toCaseFolded();
        if (const auto found = vehicles_.constFind(key); found != vehicles_.constEnd()) {
            return *found;
        }
        auto existing = log_.vehicleNamed(name);
        if (const LogError* error = logErrorOf(existing);
            error && error->problem != Problem::NotFound) {
            return *error;
        }
        VehicleId id = 0;
        if (const auto* vehicle = std::get_if<Vehicle>(&existing)) {
            id = vehicle->id;
        } else if (report_.newVehicles.size() >= maxNewVehicles) {
            return LogError{Problem::Invalid,
                            QStringLiteral("the file names more than %1 vehicles that are not in "
                                           "the log; \"%2\" was not added")
                                .arg(QString::number(maxNewVehicles), name.trimmed())};
        } else {
            auto added = log_.addVehicle({0, name.trimmed(), {}, {}});
            if (const LogError* error = logErrorOf(added)) return *error;
            id = std::get<VehicleId>(added);
            report_.newVehicles << name.trimmed();
        }
        vehicles_.insert(key, id);
        return id;
    }

    // Only a failure of the log itself ends the import; a bad row is noted.
    LogStatus addRow(const Header& header, const CsvRecord& record) {
        auto cells = readCells(header, record);
        if (const LogError* error = logErrorOf(cells)) {
            note(*error, record.line);
            return std::nullopt;
        }
        auto run = detail::assembleRun(std::get<detail::RunCells>(cells));
        if (const LogError* error = logErrorOf(run)) {
            note({Problem::Invalid,
                  QStringLiteral("line %1: %2").arg(QString::number(record.line), error->message)},
                 record.line);
            return std::nullopt;
        }
        Run& parsed = std::get<Run>(run);
        auto vehicle = vehicleFor(std::get<detail::RunCells>(cells).texts[RunColumn::Vehicle]);
        if (const LogError* error = logErrorOf(vehicle)) {
            if (error->problem != Problem::Invalid) return *error;
            note({Problem::Invalid,
                  QStringLiteral("line %1: %2").arg(QString::number(record.line), error->message)},
                 record.line);
            return std::nullopt;
        }
        parsed.vehicleId = std::get<VehicleId>(vehicle);
        if (auto failed = noteOutlier(parsed, record.line)) return failed;
        return addUnlessKnown(parsed, record.line);
    }

    // Against the runs logged before the import.
    LogStatus noteOutlier(const Run& run, qint64 line) {
        auto median = medians_.constFind(run.vehicleId);
        if (median == medians_.constEnd()) {
            auto found = log_.medianEt(run.vehicleId);
            if (const LogError* error = logErrorOf(found)) return *error;
            median = medians_.insert(run.vehicleId, std::get<std::optional<double>>(found));
        }
        if (isFarFromMedian(run.etSeconds, *median) && report_.outliers.size() < maxCsvProblems) {
            report_.outliers.push_back(
                {line, QStringLiteral("line %1: ET %2 s is more than %3 % off this vehicle's "
                                      "median of %4 s")
                           .arg(QString::number(line), QString::number(run.etSeconds),
                                QString::number(outlierShare * 100), QString::number(**median))});
        }
        return std::nullopt;
    }

    // A vehicle runs once at a moment: a run already logged, or earlier in the
    // file (in the log already unless still pending), is not added twice.
    LogStatus addUnlessKnown(const Run& run, qint64 line) {
        auto logged = log_.runs({.vehicleId = run.vehicleId, .from = run.when, .to = run.when});
        if (const LogError* error = logErrorOf(logged)) return *error;
        const bool pending =
            !pendingMoments_.insert({run.vehicleId, run.when.toMSecsSinceEpoch()}).second;
        if (!std::get<std::vector<Run>>(logged).empty() || pending) {
            note({Problem::Invalid, QStringLiteral("line %1: this vehicle already has a run at %2")
                                        .arg(QString::number(line), dateTimeText(run.when))},
                 line);
            return std::nullopt;
        }
        pending_.push_back(run);
        return std::nullopt;
    }

    LogStatus flush() {
        const auto added = log_.addRuns(pending_);
        if (const LogError* error = logErrorOf(added)) return *error;
        report_.imported += static_cast<int>(pending_.size());
        pending_.clear();
        pendingMoments_.clear();
        return std::nullopt;
    }

    RunLog& log_;
    CsvImport& report_;
    QHash<QString, VehicleId> vehicles_;  // by case-folded name
    QHash<VehicleId, std::optional<double>> medians_;
    std::vector<Run> pending_;
    std::set<std::pair<VehicleId, qint64>> pendingMoments_;  // vehicle, ms since 1970
};

}  // namespace

QStringList runCsvHeader(raceday::UnitSystem system) {
    QStringList names;
    for (const auto& info : runColumns) names << detail::columnName(info, system);
    return names;
}

QStringList runCsvFields(const Run& run, const QString& vehicleName, raceday::UnitSystem system) {
    return detail::cellTexts(run, vehicleName, system);
}

bool isNumberColumn(qsizetype column) {
    const auto& info = runColumns[static_cast<std::size_t>(column)];
    return info.quantity || info.isNumber;
}

LogStatus exportRunsCsv(RunLog& log, const RunFilter& filter, raceday::UnitSystem system,
                        QIODevice& out) {
    auto vehicles = log.vehicles();
    if (const LogError* error = logErrorOf(vehicles)) return *error;
    QHash<VehicleId, QString> names;
    for (const Vehicle& vehicle : std::get<std::vector<Vehicle>>(vehicles)) {
        names.insert(vehicle.id, vehicle.name);
    }
    auto runs = log.runs(filter);
    if (const LogError* error = logErrorOf(runs)) return *error;
    bool written = out.write(csvLine(runCsvHeader(system))) >= 0;
    for (const Run& run : std::get<std::vector<Run>>(runs)) {
        if (!written) break;
        QStringList fields = runCsvFields(run, names.value(run.vehicleId), system);
        for (qsizetype column = 0; column < fields.size(); ++column) {
            if (!isNumberColumn(column)) fields[column] = guardedCell(fields[column]);
        }
        written = out.write(csvLine(fields)) >= 0;
    }
    if (written) return std::nullopt;
    return LogError{Problem::Failed,
                    QStringLiteral("The runs could not be written (%1).").arg(out.errorString())};
}

LogResult<CsvImport> importRunsCsv(RunLog& log, QIODevice& in) {
    CsvReader reader(in);
    CsvRecord first;
    if (!reader.next(first)) {
        return LogError{Problem::Invalid,
                        QStringLiteral("line 1: the file is empty; nothing was "
                                       "imported."),
                        QStringLiteral("header")};
    }
    auto header = readHeader(first);
    if (const LogError* error = logErrorOf(header)) return *error;
    CsvImport report;
    const LogStatus failed = log.asOneChange(
        [&] { return Importer(log, report).run(reader, std::get<Header>(header)); });
    // A large import, kept or undone, leaves a write-ahead file of its size.
    log.shrinkJournal();
    if (failed) return *failed;
    return report;
}

}  // namespace moravik::runlog

#include "moravik/runlog/run_table_model.h"

#include <QSqlQuery>
#include <array>
#include <charconv>
#include <unordered_map>

#include "run_columns.h"
#include "sql_support.h"

namespace moravik::runlog {
namespace {

using raceday::Quantity;

struct ColumnInfo {
    const char* title;
    const char* sortKey;  // an SQL expression on the runs r
    bool isNumber;
};

// Missing optional values sort after every number: 9e999 is +infinity in SQLite.
constexpr std::array<ColumnInfo, RunTableModel::ColumnCount> columns{{
    {QT_TRANSLATE_NOOP("RunTableModel", "Date"), "r.run_at", false},
    {QT_TRANSLATE_NOOP("RunTableModel", "Vehicle"),
     "(SELECT name FROM vehicles v WHERE v.id = r.vehicle_id) COLLATE NOCASE", false},
    {QT_TRANSLATE_NOOP("RunTableModel", "Strip"), "r.strip", false},
    {QT_TRANSLATE_NOOP("RunTableModel", "Elevation"), "coalesce(r.strip_elevation_m, 9e999)", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "Lane"), "r.lane", false},
    {QT_TRANSLATE_NOOP("RunTableModel", "ET"), "r.et_s", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "Speed"), "r.speed_m_s", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "60 ft"), "coalesce(r.sixty_ft_s, 9e999)", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "330 ft"), "coalesce(r.three_thirty_ft_s, 9e999)", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "1/8 ET"), "coalesce(r.eighth_et_s, 9e999)", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "1/8 speed"), "coalesce(r.eighth_speed_m_s, 9e999)", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "Nitrous jet"), "coalesce(r.nitrous_jet_in, 9e999)", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "Temperature"), "r.air_k", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "Pressure"), "r.air_pressure_pa", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "Humidity"), "coalesce(r.air_moisture, 9e999)", true},
    {QT_TRANSLATE_NOOP("RunTableModel", "Notes"), "r.notes", false},
}};

QString shown(double si, Quantity quantity, raceday::UnitSystem system) {
    const raceday::Unit& unit = raceday::displayUnit(quantity, system);
    return QString::fromStdString(
        raceday::fixedText(raceday::fromSi(si, unit), raceday::quantityInfo(quantity).decimals) +
        " " + raceday::shownSymbol(unit));
}

QString shown(const std::optional<double>& si, Quantity quantity, raceday::UnitSystem system) {
    return si ? shown(*si, quantity, system) : QString();
}

// A jet as the main window writes it: three decimals of an inch.
QString jetText(double inches) {
    char text[32];
    const auto end =
        std::to_chars(text, text + sizeof text, inches, std::chars_format::fixed, 3).ptr;
    return QString::fromLatin1(text, end - text) + QStringLiteral(" in");
}

QString pressureText(const raceday::PressureReading& pressure, raceday::UnitSystem system) {
    if (const auto* altimeter = std::get_if<raceday::AltimeterSetting>(&pressure)) {
        return QStringLiteral("alt ") + shown(altimeter->pascals, Quantity::Barometer, system);
    }
    return shown(std::get<raceday::StationPressure>(pressure).pascals, Quantity::Barometer, system);
}

QString moistureText(const raceday::Moisture& moisture, raceday::UnitSystem system) {
    if (const auto* humidity = std::get_if<raceday::RelativeHumidity>(&moisture)) {
        return shown(humidity->ratio, Quantity::Humidity, system);
    }
    if (const auto* dewPoint = std::get_if<raceday::DewPoint>(&moisture)) {
        return QStringLiteral("dew ") + shown(dewPoint->kelvin, Quantity::Temperature, system);
    }
    return RunTableModel::tr("dry");
}

}  // namespace

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

void RunTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    sortColumn_ = column;
    sortOrder_ = order;
    reload();
}

void RunTableModel::reload() {
    beginResetModel();
    rows_.clear();
    order_.clear();
    fetched_ = 0;
    lastError_.reset();
    const QString key = QLatin1String(columns[static_cast<std::size_t>(sortColumn_)].sortKey);
    const QString direction =
        sortOrder_ == Qt::AscendingOrder ? QStringLiteral("ASC") : QStringLiteral("DESC");
    const auto condition = detail::filterCondition(filter_, QStringLiteral("r"));
    auto result =
        detail::execute(log_.connection(),
                        QStringLiteral("SELECT r.id FROM runs r%1 ORDER BY %2 %3, r.id %3")
                            .arg(condition.where, key, direction),
                        condition.values, log_.path(), detail::nothingRead);
    if (auto* query = std::get_if<QSqlQuery>(&result)) {
        while (query->next()) order_.push_back(query->value(0).toLongLong());
        if (query->lastError().isValid()) {
            result = detail::sqlError(query->lastError(), log_.path(), detail::nothingRead);
        }
    }
    endResetModel();
    if (const LogError* error = logErrorOf(result)) {
        order_.clear();
        lastError_ = *error;
        log_.noteDamage(*error);
        emit fetchFailed(error->message);
        return;
    }
    fetchMore({});
}

bool RunTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && fetched_ < order_.size();
}

void RunTableModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    const std::size_t end = std::min(order_.size(), fetched_ + pageRows);
    QVariantList ids;
    for (std::size_t i = fetched_; i < end; ++i) ids << order_[i];
    QStringList marks(ids.size(), QStringLiteral("?"));
    auto result = detail::execute(
        log_.connection(),
        QStringLiteral("SELECT %1, (SELECT name FROM vehicles v WHERE v.id = r.vehicle_id) "
                       "FROM runs r WHERE r.id IN (%2)")
            .arg(detail::runSelectList(QStringLiteral("r")), marks.join(QLatin1Char(','))),
        ids, log_.path(), detail::nothingRead);
    std::unordered_map<RunId, Row> found;
    if (auto* query = std::get_if<QSqlQuery>(&result)) {
        while (query->next()) {
            Row row{detail::readRun(*query), query->value(20).toString()};
            found.emplace(row.run.id, std::move(row));
        }
        if (query->lastError().isValid()) {
            result = detail::sqlError(query->lastError(), log_.path(), detail::nothingRead);
        }
    }
    if (const LogError* error = logErrorOf(result)) {
        order_.resize(fetched_);  // the table ends here
        lastError_ = *error;
        log_.noteDamage(*error);
        emit fetchFailed(error->message);
        return;
    }
    // In the sorted order; a run deleted since the order was read is left out.
    std::vector<Row> page;
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
    return tr(columns[static_cast<std::size_t>(section)].title);
}

QVariant RunTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return displayText(row, index.column());
        case Qt::TextAlignmentRole:
            return columns[static_cast<std::size_t>(index.column())].isNumber
                       ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                       : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case runIdRole:
            return row.run.id;
        default:
            return {};
    }
}

QString RunTableModel::displayText(const Row& row, int column) const {
    const Run& run = row.run;
    switch (column) {
        case When:
            return run.when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        case VehicleName:
            return row.vehicleName;
        case Strip:
            return run.strip;
        case StripElevation:
            return shown(run.stripElevationMetres, Quantity::Elevation, system_);
        case Lane:
            return run.lane;
        case Et:
            return shown(run.etSeconds, Quantity::Time, system_);
        case Speed:
            return shown(run.speed, Quantity::Speed, system_);
        case SixtyFoot:
            return shown(run.sixtyFootSeconds, Quantity::Time, system_);
        case ThreeThirtyFoot:
            return shown(run.threeThirtyFootSeconds, Quantity::Time, system_);
        case EighthEt:
            return shown(run.eighthEtSeconds, Quantity::Time, system_);
        case EighthSpeed:
            return shown(run.eighthSpeed, Quantity::Speed, system_);
        case NitrousJet:
            return run.nitrousJetInches ? jetText(*run.nitrousJetInches) : QString();
        case Temperature:
            return shown(run.air.kelvin, Quantity::Temperature, system_);
        case Pressure:
            return pressureText(run.air.pressure, system_);
        case Moisture:
            return moistureText(run.air.moisture, system_);
        default:
            return run.notes;
    }
}

}  // namespace moravik::runlog

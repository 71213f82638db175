#include "sql_support.h"

#include <QDir>
#include <QFileInfo>

namespace moravik::runlog::detail {
namespace {

// SQLite's primary result codes (the low byte of an extended code).
enum SqliteCode : int {
    sqliteBusy = 5,
    sqliteLocked = 6,
    sqliteReadOnly = 8,
    sqliteIoError = 10,
    sqliteCorrupt = 11,
    sqliteFull = 13,
    sqliteCantOpen = 14,
    sqliteNotADatabase = 26,
};

int sqliteCode(const QSqlError& error) {
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber);
    return isNumber ? code & 0xff : 0;
}

}  // namespace

LogError sqlError(const QSqlError& error, const QString& path, const Consequence& consequence) {
    const QString file = QDir::toNativeSeparators(path);
    const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    switch (sqliteCode(error)) {
        case sqliteBusy:
        case sqliteLocked:
            return {Problem::InUse,
                    QStringLiteral("The run log %1 is in use by another program; %2. Try again "
                                   "when it is done.")
                        .arg(file, consequence.text)};
        case sqliteReadOnly:
        case sqliteCantOpen:
            return {Problem::ReadOnly,
                    QStringLiteral("The run log %1 cannot be written: the file or its folder "
                                   "%2 is read-only (%3); %4.")
                        .arg(file, QDir::toNativeSeparators(QFileInfo(path).absolutePath()), detail,
                             consequence.text)};
        case sqliteFull:
            return {Problem::DiskFull,
                    QStringLiteral("The disk holding the run log %1 is full; %2, and the log is "
                                   "as it was. Free some space and try again.")
                        .arg(file, consequence.text)};
        case sqliteCorrupt:
        case sqliteNotADatabase:
            return {Problem::Damaged,
                    QStringLiteral("The file %1 is not a run log or is damaged (%2); %3.")
                        .arg(file, detail, consequence.text)};
        case sqliteIoError:
        default:
            return {Problem::Failed, QStringLiteral("The run log %1 could not be used (%2); %3.")
                                         .arg(file, detail, consequence.text)};
    }
}

QVariant textValue(const QString& text) { return text.isNull() ? QStringLiteral("") : text; }

QVariant optionalValue(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<double>());
}

std::optional<double> optionalDouble(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    return value.toDouble();
}

LogResult<QSqlQuery> execute(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                             const QString& path, const Consequence& consequence) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) return sqlError(query.lastError(), path, consequence);
    for (const QVariant& value : values) query.addBindValue(value);
    if (!query.exec()) return sqlError(query.lastError(), path, consequence);
    return query;
}

LogResult<QVariant> singleValue(const QSqlDatabase& db, const QString& sql,
                                const QVariantList& values, const QString& path,
                                const Consequence& consequence) {
    auto result = execute(db, sql, values, path, consequence);
    if (const LogError* error = logErrorOf(result)) return *error;
    QSqlQuery& query = std::get<QSqlQuery>(result);
    if (!query.next()) {
        if (query.lastError().isValid()) return sqlError(query.lastError(), path, consequence);
        return QVariant();
    }
    return query.value(0);
}

}  // namespace moravik::runlog::detail

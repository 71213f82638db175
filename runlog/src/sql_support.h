// Running statements on a log's connection and turning SQLite's errors into
// LogErrors that say what happened to the user's data.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <optional>

#include "moravik/runlog/log_error.h"

namespace moravik::runlog::detail {

// What a failed step means for the user's data, ending a sentence:
// "the run was not saved".
struct Consequence {
    QString text;
};

inline const Consequence nothingChanged{QStringLiteral("nothing was changed")};
inline const Consequence nothingRead{QStringLiteral("nothing could be read")};

LogError sqlError(const QSqlError& error, const QString& path, const Consequence& consequence);

// A text for a NOT NULL column: Qt SQL binds a null QString as NULL.
QVariant textValue(const QString& text);

// A database value for an optional number: NULL when absent.
QVariant optionalValue(const std::optional<double>& value);
std::optional<double> optionalDouble(const QVariant& value);

// Prepares, binds `values` in order and executes; the query is positioned
// before its first row.
LogResult<QSqlQuery> execute(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                             const QString& path, const Consequence& consequence);

// The first column of the first row, or an error when the statement failed.
LogResult<QVariant> singleValue(const QSqlDatabase& db, const QString& sql,
                                const QVariantList& values, const QString& path,
                                const Consequence& consequence);

}  // namespace moravik::runlog::detail

// How a Run is laid out in the runs table, for the log's queries and the
// table model's pages alike.
#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include "moravik/runlog/records.h"

namespace moravik::runlog::detail {

// "r.id, r.vehicle_id, ..., r.notes": the columns readRun expects, the id first.
QString runSelectList(const QString& alias);

// "vehicle_id, ..., notes" and their values, without the id.
QString runColumnList();
QString runPlaceholders();  // "?, ?, ..." for runColumnList
QVariantList runValues(const Run& run);

// The run whose runSelectList columns start at `first`.
Run readRun(const QSqlQuery& query, int first = 0);

struct SqlCondition {
    QString where;  // "" or " WHERE ..."
    QVariantList values;
};

SqlCondition filterCondition(const RunFilter& filter, const QString& alias);

}  // namespace moravik::runlog::detail

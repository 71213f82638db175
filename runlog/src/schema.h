// The log's tables, versioned by PRAGMA user_version. Version 0 is a file
// without tables; each migration takes the file one version up.
#pragma once

#include <QSqlDatabase>

#include "moravik/runlog/log_error.h"

namespace moravik::runlog::detail {

int currentSchemaVersion();

// Applies the migrations after `fromVersion` in order, each in its own
// transaction together with the new user_version.
LogStatus migrate(const QSqlDatabase& db, int fromVersion, const QString& path);

}  // namespace moravik::runlog::detail

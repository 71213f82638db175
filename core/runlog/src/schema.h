// The log's tables, versioned by PRAGMA user_version. Version 0 is a file
// without tables; each migration takes the file one version up.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

#include "moravik/runlog/log_error.h"

namespace moravik::runlog::detail {

int currentSchemaVersion();

// The runs table's columns as version `version` creates them, in order, from
// the frozen text of its statements: a log of an earlier version is read with
// these, as it is.
std::vector<std::string> runsTableColumns(int version);

// PRAGMA application_id of a Moravik run log ("MRVK"). Logs written before it
// was set are known by their user_version and tables instead.
inline constexpr int applicationId = 0x4d52564b;

// Whether the file's tables and indexes are exactly those of `version`, as
// its migrations create them (spacing aside). Version 0 has none.
LogResult<bool> hasSchemaOf(sqlite3* db, int version, const std::string& path);

// Applies the migrations after `fromVersion` in order, each in its own
// transaction together with the new user_version.
LogStatus migrate(sqlite3* db, int fromVersion, const std::string& path);

}  // namespace moravik::runlog::detail

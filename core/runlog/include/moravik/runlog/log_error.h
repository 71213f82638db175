// The one way a run-log operation fails: a value or a LogError, never both.
#pragma once

#include <optional>
#include <string>
#include <variant>

namespace moravik::runlog {

// What went wrong, so a window can offer the right way out.
enum class Problem {
    InUse,         // another program holds the log; try again later
    ReadOnly,      // the folder or file cannot be written, or the log was opened read-only
    DiskFull,      // the change did not fit; the log is as it was
    Damaged,       // not a database or a damaged one; see RunLog::setAsideAndStartFresh
    Foreign,       // another program's database: never opened, changed or set aside
    NewerVersion,  // written by a newer Moravik
    NotFound,      // no such log, run or vehicle
    Invalid,       // a value the log does not accept; the message names it
    Failed,        // any other error of the file system or the database
};

struct LogError {
    Problem problem;
    std::string message;  // a whole sentence for the user
};

template <typename T>
using LogResult = std::variant<T, LogError>;

// For changes that give back nothing: empty on success.
using LogStatus = std::optional<LogError>;

template <typename T>
const LogError* logErrorOf(const LogResult<T>& result) {
    return std::get_if<LogError>(&result);
}

}  // namespace moravik::runlog

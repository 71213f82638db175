// Running statements on a log's SQLite connection and turning SQLite's errors
// into LogErrors that say what happened to the user's data.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "moravik/runlog/log_columns.h"
#include "moravik/runlog/log_error.h"

namespace moravik::runlog::detail {

// What a failed step means for the user's data, ending a sentence:
// "the run was not saved".
struct Consequence {
    std::string text;
};

inline const Consequence nothingChanged{"nothing was changed"};
inline const Consequence nothingRead{"nothing could be read"};

// An SQLite result code as a LogError about the log at `path`, in words of our own.
LogError sqlError(int code, const std::string& path, const Consequence& consequence);
// The connection's last error.
LogError sqlError(sqlite3* db, const std::string& path, const Consequence& consequence);

// "The run log PATH is damaged: WHAT; CONSEQUENCE." and what the user can do.
std::string damagedText(const std::string& path, std::string_view what,
                        const Consequence& consequence);

// The file's name as the user's system writes it: for messages.
std::string folderOf(const std::string& path);

// One prepared statement; finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const std::string& path, const Consequence& consequence)
        : db_(db), path_(path), consequence_(consequence) {}
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    LogStatus prepare(std::string_view sql);
    // Binds `values` from the first parameter on, after a reset.
    LogStatus bind(const std::vector<Cell>& values);
    // True with a row to read, false when done.
    LogResult<bool> step();
    Cell column(int index) const;

private:
    sqlite3* db_;
    const std::string& path_;
    const Consequence& consequence_;
    sqlite3_stmt* statement_ = nullptr;
};

// Runs a statement, calling `row` with each row; the number of rows it changed.
LogResult<int> execute(sqlite3* db, std::string_view sql, const std::vector<Cell>& values,
                       const std::string& path, const Consequence& consequence,
                       const std::function<void(const Statement&)>& row = {});

// The first column of the first row (NULL when none), or an error.
LogResult<Cell> singleValue(sqlite3* db, std::string_view sql, const std::vector<Cell>& values,
                            const std::string& path, const Consequence& consequence);

std::string numberText(std::int64_t value);

// A run row's checksum: FNV-1a over its id and each value that is not NULL,
// with its column's name, so that a column added later (NULL in the rows
// already there) leaves their checksums as they were. Any one changed byte
// changes it.
class RowChecksum {
public:
    explicit RowChecksum(std::int64_t id);
    void add(std::string_view column, const Cell& value);
    std::int64_t value() const { return static_cast<std::int64_t>(hash_); }

private:
    void bytes(const void* data, std::size_t size);
    std::uint64_t hash_ = 14695981039346656037ULL;
};

// run_checksum(id, 'column', value, ...) on the connection, for the migration
// that gives the rows already in a log their checksums.
void addChecksumFunction(sqlite3* db);

}  // namespace moravik::runlog::detail

#include "sql_support.h"

#include <charconv>

namespace moravik::runlog::detail {

std::string numberText(std::int64_t value) {
    char text[24];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

LogError sqlError(int code, std::string_view detail, const std::string& path,
                  const Consequence& consequence) {
    const std::string text(detail);
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return {Problem::InUse, "The run log " + path + " is in use by another program; " +
                                        consequence.text + ". Try again when it is done."};
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
            return {Problem::ReadOnly,
                    "The run log " + path + " cannot be written: the file or its folder " +
                        folderOf(path) + " is read-only (" + text + "); " + consequence.text + "."};
        case SQLITE_FULL:
            return {Problem::DiskFull, "The disk holding the run log " + path + " is full; " +
                                           consequence.text +
                                           ", and the log is as it was. Free some space and "
                                           "try again."};
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return {Problem::Damaged, "The file " + path + " is not a run log or is damaged (" +
                                          text + "); " + consequence.text + "."};
        default:
            return {Problem::Failed, "The run log " + path + " could not be used (" + text + "); " +
                                         consequence.text + "."};
    }
}

LogError sqlError(sqlite3* db, const std::string& path, const Consequence& consequence) {
    return sqlError(sqlite3_extended_errcode(db), sqlite3_errmsg(db), path, consequence);
}

LogStatus Statement::prepare(std::string_view sql) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    const int code =
        sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr);
    if (code != SQLITE_OK) return sqlError(db_, path_, consequence_);
    return std::nullopt;
}

LogStatus Statement::bind(const std::vector<Cell>& values) {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    int index = 0;
    for (const Cell& value : values) {
        ++index;
        int code = SQLITE_OK;
        if (const auto* whole = std::get_if<std::int64_t>(&value)) {
            code = sqlite3_bind_int64(statement_, index, *whole);
        } else if (const auto* number = std::get_if<double>(&value)) {
            code = sqlite3_bind_double(statement_, index, *number);
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            code = sqlite3_bind_text(statement_, index, text->data(),
                                     static_cast<int>(text->size()), SQLITE_TRANSIENT);
        } else {
            code = sqlite3_bind_null(statement_, index);
        }
        if (code != SQLITE_OK) return sqlError(db_, path_, consequence_);
    }
    return std::nullopt;
}

LogResult<bool> Statement::step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    return sqlError(db_, path_, consequence_);
}

Cell Statement::column(int index) const {
    switch (sqlite3_column_type(statement_, index)) {
        case SQLITE_INTEGER:
            return static_cast<std::int64_t>(sqlite3_column_int64(statement_, index));
        case SQLITE_FLOAT:
            return sqlite3_column_double(statement_, index);
        case SQLITE_NULL:
            return {};
        default: {
            const auto* text = sqlite3_column_text(statement_, index);
            const int bytes = sqlite3_column_bytes(statement_, index);
            return std::string(reinterpret_cast<const char*>(text),
                               static_cast<std::size_t>(bytes));
        }
    }
}

LogResult<int> execute(sqlite3* db, std::string_view sql, const std::vector<Cell>& values,
                       const std::string& path, const Consequence& consequence,
                       const std::function<void(const Statement&)>& row) {
    Statement statement(db, path, consequence);
    if (auto failed = statement.prepare(sql)) return *failed;
    if (auto failed = statement.bind(values)) return *failed;
    while (true) {
        const auto stepped = statement.step();
        if (const LogError* error = logErrorOf(stepped)) return *error;
        if (!std::get<bool>(stepped)) break;
        if (row) row(statement);
    }
    return sqlite3_changes(db);
}

LogResult<Cell> singleValue(sqlite3* db, std::string_view sql, const std::vector<Cell>& values,
                            const std::string& path, const Consequence& consequence) {
    Cell value;
    bool first = true;
    auto done = execute(db, sql, values, path, consequence, [&](const Statement& statement) {
        if (first) value = statement.column(0);
        first = false;
    });
    if (const LogError* error = logErrorOf(done)) return *error;
    return value;
}

}  // namespace moravik::runlog::detail

#include "sql_support.h"

#include <charconv>
#include <cstring>

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

// SQLite's own texts ("file is not a database") name no file and no remedy;
// each failure is said in the log's words instead, by its result code.
LogError sqlError(int code, const std::string& path, const Consequence& consequence) {
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return {Problem::InUse, "The run log " + path + " is in use by another program; " +
                                        consequence.text + ". Try again when it is done."};
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
            return {Problem::ReadOnly,
                    "The run log " + path +
                        " cannot be opened for writing: the file or its folder " + folderOf(path) +
                        " is read-only; " + consequence.text + "."};
        case SQLITE_FULL:
            return {Problem::DiskFull, "The disk holding the run log " + path + " is full; " +
                                           consequence.text +
                                           ", and the log is as it was. Free some space and "
                                           "try again."};
        case SQLITE_NOTADB:
            return {Problem::Damaged,
                    "The file " + path +
                        " is not a Moravik run log (not an SQLite database, or its first page is "
                        "damaged); " +
                        consequence.text + ". Choose the run log, or restore it from a copy."};
        case SQLITE_CORRUPT:
            return {Problem::Damaged,
                    damagedText(path, "its pages do not fit together", consequence)};
        case SQLITE_IOERR:
            return {Problem::Failed,
                    "The run log " + path +
                        " could not be read or written: the system reported an input/output error "
                        "(a failing disk or medium, or a file cut short while in use); " +
                        consequence.text + ". Copy the log to a sound disk and try again."};
        case SQLITE_NOMEM:
            return {Problem::Failed, "There was not enough memory to use the run log " + path +
                                         "; " + consequence.text + "."};
        default:
            return {Problem::Failed, "The run log " + path + " could not be used (database error " +
                                         numberText(code) + "); " + consequence.text + "."};
    }
}

std::string damagedText(const std::string& path, std::string_view what,
                        const Consequence& consequence) {
    return "The run log " + path + " is damaged: " + std::string(what) + "; " + consequence.text +
           ". Restore it from a copy, or open it read-only in Race Day and export the runs that "
           "can be read.";
}

LogError sqlError(sqlite3* db, const std::string& path, const Consequence& consequence) {
    return sqlError(sqlite3_extended_errcode(db), path, consequence);
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

RowChecksum::RowChecksum(std::int64_t id) { add("id", id); }

void RowChecksum::bytes(const void* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        hash_ ^= static_cast<const unsigned char*>(data)[i];
        hash_ *= 1099511628211ULL;
    }
}

void RowChecksum::add(std::string_view column, const Cell& value) {
    if (std::holds_alternative<std::monostate>(value)) return;
    bytes(column.data(), column.size());
    const auto kind = static_cast<unsigned char>(value.index());
    bytes(&kind, 1);
    if (const auto* whole = std::get_if<std::int64_t>(&value)) {
        bytes(whole, sizeof *whole);
    } else if (const auto* number = std::get_if<double>(&value)) {
        // SQLite keeps -0.0 as the whole number 0 and gives back +0.0.
        const double kept = *number == 0 ? 0.0 : *number;
        std::uint64_t bits = 0;
        std::memcpy(&bits, &kept, sizeof bits);
        bytes(&bits, sizeof bits);
    } else {
        const auto& text = std::get<std::string>(value);
        const std::uint64_t size = text.size();
        bytes(&size, sizeof size);
        bytes(text.data(), text.size());
    }
}

namespace {

Cell cellOf(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            return static_cast<std::int64_t>(sqlite3_value_int64(value));
        case SQLITE_FLOAT:
            return sqlite3_value_double(value);
        case SQLITE_NULL:
            return {};
        default: {
            const auto* text = sqlite3_value_text(value);
            return std::string(reinterpret_cast<const char*>(text),
                               static_cast<std::size_t>(sqlite3_value_bytes(value)));
        }
    }
}

void runChecksum(sqlite3_context* context, int count, sqlite3_value** values) {
    if (count < 1 || count % 2 == 0) {
        sqlite3_result_error(context, "run_checksum takes an id and pairs of names and values", -1);
        return;
    }
    RowChecksum checksum(sqlite3_value_int64(values[0]));
    for (int i = 1; i + 1 < count; i += 2) {
        const auto* name = sqlite3_value_text(values[i]);
        checksum.add(name != nullptr ? reinterpret_cast<const char*>(name) : "",
                     cellOf(values[i + 1]));
    }
    sqlite3_result_int64(context, checksum.value());
}

}  // namespace

void addChecksumFunction(sqlite3* db) {
    sqlite3_create_function(db, "run_checksum", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            runChecksum, nullptr, nullptr);
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

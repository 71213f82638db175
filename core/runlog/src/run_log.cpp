// Opening, closing and setting aside a run log; the changes and queries are in
// run_store.cpp.
#include "moravik/runlog/run_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "schema.h"
#include "sql_support.h"
#include "writer_lock.h"

namespace moravik::runlog {
namespace {

using detail::Consequence;
using detail::nothingChanged;
using detail::nothingRead;
using detail::numberText;

// The folder is Race Day's AppDataLocation (its application name, no
// organisation) as Qt finds it on Linux, spelt out so moravik-calc finds the
// same file without Qt.
constexpr auto logFolder = "moravik-raceday";
constexpr auto logFileName = "run-log.sqlite";

// SQLite keeps a log's recent changes in these files beside it.
constexpr std::array<const char*, 2> companionSuffixes{"-wal", "-shm"};

const Consequence notOpened{"it was not opened and has not been changed"};
const Consequence notWritten{"it was not written and has not been changed"};

bool exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

std::int64_t fileSize(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? static_cast<std::int64_t>(status.st_size) : -1;
}

std::string absoluteFolderOf(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    if (error) return detail::folderOf(path);
    return absolute.parent_path().string();
}

LogError readOnlyFolder(const std::string& path) {
    return {Problem::ReadOnly, "The run log " + path +
                                   " cannot be created or written: its folder " +
                                   absoluteFolderOf(path) +
                                   " is read-only. Nothing was saved; choose a folder you can "
                                   "write to, or open the log read-only."};
}

LogError readOnlyFile(const std::string& path) {
    return {Problem::ReadOnly, "The run log " + path +
                                   " is a read-only file; it cannot be written and has not been "
                                   "changed."};
}

// A reader that cannot make the files SQLite needs beside a log whose latest
// changes are in its write-ahead file: reading the file alone would leave them out.
LogError cannotReadNow(const std::string& path) {
    return {Problem::Failed, "The run log " + path +
                                 " cannot be read now: its latest changes are in " + path +
                                 "-wal, and the files needed to read them cannot be made beside "
                                 "it (is the disk full, or the folder read-only?). Nothing was "
                                 "changed; free some space, or open it where it can be written."};
}

LogError lockRefusal(const detail::WriterLock::Refusal& refusal, const std::string& path) {
    if (refusal.failure == detail::WriterLock::Failure::NotWritable) return readOnlyFolder(path);
    const std::string holder = refusal.holder.empty() ? "another program" : refusal.holder;
    return {Problem::InUse, "The run log " + path + " is in use by " + holder +
                                ". Close it there and try again; nothing was changed."};
}

using LockOutcome = std::variant<std::unique_ptr<detail::WriterLock>, detail::WriterLock::Refusal>;

LockOutcome lockForWriting(const std::string& path, std::chrono::milliseconds wait) {
    return detail::WriterLock::acquire(path + ".lock", wait);
}

LogResult<std::int64_t> pragmaValue(sqlite3* db, const char* pragma, const std::string& path) {
    const auto value =
        detail::singleValue(db, std::string("PRAGMA ") + pragma, {}, path, notOpened);
    if (const LogError* error = logErrorOf(value)) return *error;
    const auto* number = std::get_if<std::int64_t>(&std::get<Cell>(value));
    return number != nullptr ? *number : 0;
}

LogError newerVersion(const std::string& path, std::int64_t version) {
    return {Problem::NewerVersion, "The run log " + path +
                                       " was written by a newer Moravik (log version " +
                                       numberText(version) + "; this one knows up to " +
                                       numberText(detail::currentSchemaVersion()) +
                                       "). It was not opened and has not been changed."};
}

LogError foreignFile(const std::string& path) {
    return {Problem::Foreign, "The file " + path +
                                  " is not a Moravik run log: it holds another program's data. It "
                                  "was not opened and has not been changed; choose another file "
                                  "for the log."};
}

struct Identity {
    int version = 0;      // the log's user_version
    bool marked = false;  // carries our application_id
};

// Tells our logs from other files by reading only: our application_id, or
// (for logs written before it) no id, a version we know and exactly its tables.
// An empty database is a log of version 0.
LogResult<Identity> identify(sqlite3* db, const std::string& path) {
    const auto id = pragmaValue(db, "application_id", path);
    if (const LogError* error = logErrorOf(id)) return *error;
    const auto version = pragmaValue(db, "user_version", path);
    if (const LogError* error = logErrorOf(version)) return *error;
    const std::int64_t userVersion = std::get<std::int64_t>(version);
    const bool marked = std::get<std::int64_t>(id) == detail::applicationId;
    if (!marked && std::get<std::int64_t>(id) != 0) return foreignFile(path);
    if (userVersion < 0 || userVersion > detail::currentSchemaVersion()) {
        if (marked) return newerVersion(path, userVersion);
        return foreignFile(path);
    }
    const Identity identity{static_cast<int>(userVersion), marked};
    const auto ours = detail::hasSchemaOf(db, identity.version, path);
    if (const LogError* error = logErrorOf(ours)) return *error;
    if (std::get<bool>(ours)) return identity;
    if (!identity.marked) return foreignFile(path);
    return LogError{Problem::Damaged, "The run log " + path +
                                          " does not have the tables of its version " +
                                          numberText(identity.version) +
                                          "; it is damaged. It was not opened and has not been "
                                          "changed."};
}

// What SQLite's integrity check found, in words of our own: an index that
// disagrees with the runs, or pages that do not fit together.
std::string damageFound(const std::string& verdict) {
    if (verdict.find("index") != std::string::npos)
        return "its indexes do not match its runs, so runs could be shown twice or not at all";
    return "its pages do not fit together";
}

// SQLite's integrity check reads every page of the file, and every index
// entry against its row (which the quick check does not: a broken index shows
// runs twice, or not at all): damage anywhere shows here, before anything is
// written. Empty when the file is sound.
LogStatus checkFile(sqlite3* db, const std::string& path, const Consequence& failure) {
    const auto verdict = detail::singleValue(db, "PRAGMA integrity_check", {}, path, failure);
    if (const LogError* error = logErrorOf(verdict)) return *error;
    const std::string text = columns_detail::textOf(std::get<Cell>(verdict));
    if (text == "ok") return std::nullopt;
    return LogError{Problem::Damaged, detail::damagedText(path, damageFound(text), notWritten)};
}

LogStatus configureWriting(sqlite3* db, const std::string& path, int maxPageCount) {
    const auto mode = detail::singleValue(db, "PRAGMA journal_mode = WAL", {}, path, notOpened);
    if (const LogError* error = logErrorOf(mode)) return *error;
    if (columns_detail::textOf(std::get<Cell>(mode)) != "wal") {
        return LogError{Problem::Failed, "The run log " + path +
                                             " could not switch to write-ahead logging; it was "
                                             "not opened."};
    }
    std::vector<std::string> pragmas{"PRAGMA synchronous = FULL", "PRAGMA foreign_keys = ON"};
    if (maxPageCount > 0) pragmas.push_back("PRAGMA max_page_count = " + numberText(maxPageCount));
    for (const std::string& pragma : pragmas) {
        const auto done = detail::execute(db, pragma, {}, path, notOpened);
        if (const LogError* error = logErrorOf(done)) return *error;
    }
    return std::nullopt;
}

// Identifies the file; a damaged log can still be read, so damage found by
// the check goes to `damage`, not into the result.
// A log of an earlier version is read as it is, with the columns it has.
LogStatus prepareReadOnly(sqlite3* db, const std::string& path, LogStatus& damage,
                          std::vector<std::string>& earlierColumns) {
    const auto identity = identify(db, path);
    if (const LogError* error = logErrorOf(identity)) return *error;
    const int version = std::get<Identity>(identity).version;
    // An empty file has no version: there is nothing Race Day could bring up to date.
    if (version == 0) {
        return LogError{Problem::NotFound, "The file " + path + " is not a run log of Race Day."};
    }
    earlierColumns.clear();
    if (version < detail::currentSchemaVersion())
        earlierColumns = detail::runsTableColumns(version);
    damage = checkFile(db, path, notOpened);
    return std::nullopt;
}

LogResult<bool> isWriteAhead(sqlite3* db, const std::string& path) {
    const auto mode = detail::singleValue(db, "PRAGMA journal_mode", {}, path, notOpened);
    if (const LogError* error = logErrorOf(mode)) return *error;
    return columns_detail::textOf(std::get<Cell>(mode)) == "wal";
}

// Every check reads only; the first write is the switch to write-ahead logging.
// The check may be put off (checkPutOff) only where opening writes nothing.
LogStatus prepareReadWrite(sqlite3* db, const std::string& path, const OpenOptions& options,
                           bool& checkPutOff) {
    const auto identity = identify(db, path);
    if (const LogError* error = logErrorOf(identity)) return *error;
    const auto [version, marked] = std::get<Identity>(identity);
    checkPutOff = false;
    if (options.checkLater && marked && version == detail::currentSchemaVersion()) {
        const auto writeAhead = isWriteAhead(db, path);
        if (const LogError* error = logErrorOf(writeAhead)) return *error;
        checkPutOff = std::get<bool>(writeAhead);
    }
    if (!checkPutOff) {
        if (auto damaged = checkFile(db, path, notOpened)) return damaged;
    }
    if (auto failed = configureWriting(db, path, options.maxPageCount)) return failed;
    if (version > 0 && !marked) {
        const auto stamped =
            detail::execute(db, "PRAGMA application_id = " + numberText(detail::applicationId), {},
                            path, notOpened);
        if (const LogError* error = logErrorOf(stamped)) return *error;
    }
    return detail::migrate(db, version, path);
}

void appendTwoDigits(std::string& text, int value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

// A name beside `path` that no file has yet: "run-log.sqlite.damaged-20240601-143000".
std::string setAsideName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::string stem = path + ".damaged-" + numberText(local.tm_year + 1900);
    appendTwoDigits(stem, local.tm_mon + 1);
    appendTwoDigits(stem, local.tm_mday);
    stem += '-';
    appendTwoDigits(stem, local.tm_hour);
    appendTwoDigits(stem, local.tm_min);
    appendTwoDigits(stem, local.tm_sec);
    std::string name = stem;
    for (int n = 2; exists(name) || exists(name + companionSuffixes[0]); ++n) {
        name = stem + '-' + numberText(n);
    }
    return name;
}

// A reader of a write-ahead log makes its companion files when its folder
// allows. Empty ones hold nothing, and a -shm file only indexes the -wal file,
// so those the reader made go once nothing else uses the log: no writer of
// ours holds its lock file, where there is one, and no SQLite connection in
// another program holds the -shm file's dead-man byte (128), as each does while
// it is open. A -wal file that holds changes stays.
void removeReadersCompanions(const std::string& path, bool sharedMadeHere) {
    const std::string writeAhead = path + companionSuffixes[0];
    const std::string shared = path + companionSuffixes[1];
    if (fileSize(writeAhead) > 0 && !sharedMadeHere) return;
    std::unique_ptr<detail::WriterLock> writer;
    if (exists(path + ".lock")) {
        auto locked = detail::WriterLock::acquire(path + ".lock", std::chrono::milliseconds(0));
        if (!std::holds_alternative<std::unique_ptr<detail::WriterLock>>(locked)) return;
        writer = std::move(std::get<std::unique_ptr<detail::WriterLock>>(locked));
    }
    const int descriptor = ::open(shared.c_str(), O_RDWR | O_CLOEXEC);
    if (descriptor >= 0) {
        struct flock deadMan {};
        deadMan.l_type = F_WRLCK;
        deadMan.l_whence = SEEK_SET;
        deadMan.l_start = 128;
        deadMan.l_len = 1;
        if (::fcntl(descriptor, F_SETLK, &deadMan) == 0) {
            const bool writeAheadEmpty = fileSize(writeAhead) <= 0;
            if (writeAheadEmpty) std::remove(writeAhead.c_str());
            if (writeAheadEmpty || sharedMadeHere) std::remove(shared.c_str());
        }
        ::close(descriptor);
    } else if (fileSize(writeAhead) == 0) {
        std::remove(writeAhead.c_str());
    }
}

// "file:/path%20with%20blanks?immutable=1": a URI SQLite reads as the file alone.
std::string immutableUri(const std::string& path) {
    std::string absolute = path;
    std::error_code error;
    if (const auto full = std::filesystem::absolute(path, error); !error) absolute = full.string();
    std::string uri = "file:";
    constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : absolute) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') ||
            std::string_view("/-._~").find(c) != std::string_view::npos) {
            uri += c;
        } else {
            uri += '%';
            uri += hex[byte >> 4];
            uri += hex[byte & 15];
        }
    }
    return uri + "?immutable=1";
}

}  // namespace

std::string RunLog::defaultPath() {
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home != nullptr) {
        base = std::string(home) + "/.local/share";
    } else {
        base = ".local/share";
    }
    return base + '/' + logFolder + '/' + logFileName;
}

RunLog::RunLog(std::string path, std::unique_ptr<detail::WriterLock> lock)
    : path_(std::move(path)), lock_(std::move(lock)) {}

RunLog::~RunLog() {
    if (db_ != nullptr && !isReadOnly()) {
        sqlite3_exec(db_, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db_);
    if (removeCompanions_) removeReadersCompanions(path_, sharedMadeHere_);
}

LogResult<std::unique_ptr<RunLog>> RunLog::open(const std::string& path,
                                                const OpenOptions& options) {
    const bool writable = options.access == Access::ReadWrite;
    std::unique_ptr<detail::WriterLock> lock;
    bool lockExisted = true;
    if (writable) {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::absolute(path, error).parent_path();
        if (error || (std::filesystem::create_directories(folder, error), error)) {
            return readOnlyFolder(path);
        }
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0 &&
            (::access(path.c_str(), W_OK) != 0 || (status.st_mode & S_IWUSR) == 0)) {
            return readOnlyFile(path);
        }
        lockExisted = exists(path + ".lock");
        auto locked = lockForWriting(path, options.wait);
        if (const auto* refusal = std::get_if<detail::WriterLock::Refusal>(&locked)) {
            return lockRefusal(*refusal, path);
        }
        lock = std::move(std::get<std::unique_ptr<detail::WriterLock>>(locked));
    } else if (!exists(path)) {
        return LogError{Problem::NotFound, "There is no run log at " + path + "."};
    } else if (fileSize(path) == 0) {
        // SQLite would delete a -wal file beside an empty file, even to read.
        return LogError{Problem::NotFound,
                        "The file " + path + " is not a run log of Race Day: it is empty."};
    }

    std::unique_ptr<RunLog> log(new RunLog(path, std::move(lock)));
    const auto openAs = [&](const std::string& name, int flags) -> LogStatus {
        sqlite3_close_v2(log->db_);
        log->db_ = nullptr;
        const int code = sqlite3_open_v2(name.c_str(), &log->db_, flags, nullptr);
        if (code != SQLITE_OK) {
            return log->db_ != nullptr ? detail::sqlError(log->db_, path, notOpened)
                                       : detail::sqlError(code, path, notOpened);
        }
        sqlite3_extended_result_codes(log->db_, 1);
        detail::addChecksumFunction(log->db_);
        sqlite3_busy_timeout(log->db_, static_cast<int>(options.wait.count()));
        return std::nullopt;
    };
    if (writable) {
        // A lock file this opening made goes with a file it does not open, such
        // as another program's: nothing is left beside it.
        const auto refused = [&](const LogError& error) {
            if (!lockExisted) std::remove((path + ".lock").c_str());
            return error;
        };
        if (auto failed = openAs(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) {
            return refused(*failed);
        }
        bool checkPutOff = false;
        if (auto failed = prepareReadWrite(log->db_, path, options, checkPutOff)) {
            return refused(*failed);
        }
        if (checkPutOff) {
            log->checked_ = false;
            log->checkpointOnClose(false);
        }
        return log;
    }
    const auto openReadOnly = [&](bool immutable) {
        return immutable ? openAs(immutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
                         : openAs(path, SQLITE_OPEN_READONLY);
    };
    // Empty companion files go when the reader closes, also those a reader
    // killed before it closed left behind (a `log runs | head`).
    log->removeCompanions_ = true;
    log->sharedMadeHere_ = !exists(path + companionSuffixes[1]);
    if (!exists(path + companionSuffixes[0])) {
        // No write-ahead file: the file alone holds the whole log, and SQLite
        // told so creates nothing beside it while the checks run.
        LogStatus failed = openReadOnly(true);
        if (!failed) failed = prepareReadOnly(log->db_, path, log->damage_, log->earlierColumns_);
        if (failed) return *failed;
        // From here SQLite's own locking, so that a writer starting later is
        // seen; where the folder forbids it or the disk is full, the file as it
        // is now, unless a writer has started: its changes are in the write-ahead
        // file, which the file alone would leave out.
        if (openReadOnly(false) || logErrorOf(pragmaValue(log->db_, "user_version", path))) {
            if (fileSize(path + companionSuffixes[0]) > 0) return cannotReadNow(path);
            if (auto reopened = openReadOnly(true)) return *reopened;
        }
        return log;
    }
    LogStatus failed = openReadOnly(false);
    if (!failed) failed = prepareReadOnly(log->db_, path, log->damage_, log->earlierColumns_);
    const auto cannotMake = {Problem::ReadOnly, Problem::DiskFull, Problem::Failed};
    if (failed &&
        std::find(cannotMake.begin(), cannotMake.end(), failed->problem) != cannotMake.end() &&
        fileSize(path + companionSuffixes[0]) > 0) {
        return cannotReadNow(path);
    }
    if (failed) return *failed;
    return log;
}

LogResult<RunLog::FreshStart> RunLog::setAsideAndStartFresh(const std::string& path,
                                                            const OpenOptions& options) {
    auto locked = lockForWriting(path, options.wait);
    if (const auto* refusal = std::get_if<detail::WriterLock::Refusal>(&locked)) {
        return lockRefusal(*refusal, path);
    }
    const std::string keptAs = setAsideName(path);
    if (std::rename(path.c_str(), keptAs.c_str()) != 0) {
        return LogError{Problem::Failed, "The file " + path + " could not be renamed to " + keptAs +
                                             "; it is unchanged and no new log was started."};
    }
    for (const char* suffix : companionSuffixes) {
        const std::string companion = path + suffix;
        if (exists(companion)) std::rename(companion.c_str(), (keptAs + suffix).c_str());
    }
    locked = detail::WriterLock::Refusal{};  // open() takes the lock again
    auto fresh = open(path, {Access::ReadWrite, options.wait, options.maxPageCount});
    if (const LogError* error = logErrorOf(fresh)) return *error;
    return FreshStart{std::move(std::get<std::unique_ptr<RunLog>>(fresh)), keptAs};
}

LogStatus RunLog::inTransaction(const std::function<LogStatus()>& change) {
    if (damage_) {
        return LogError{Problem::Damaged, "The run log " + path_ +
                                              " is damaged and is not written; nothing was "
                                              "changed. Set it aside to start a fresh log."};
    }
    if (awaitsCheck()) {
        return LogError{Problem::ReadOnly, "The run log " + path_ +
                                               " is still being checked for damage; nothing was "
                                               "changed. Try again in a moment."};
    }
    if (isReadOnly()) {
        return LogError{Problem::ReadOnly,
                        "The run log " + path_ + " is open read-only; nothing was changed."};
    }
    if (inTransaction_) return change();  // part of an enclosing change
    LogStatus failed = transaction("BEGIN IMMEDIATE", change);
    if (failed) noteDamage(*failed);
    return failed;
}

LogStatus RunLog::asOneRead(const std::function<LogStatus()>& reads) {
    if (inTransaction_) return reads();
    return transaction("BEGIN", reads);
}

LogStatus RunLog::transaction(const char* begin, const std::function<LogStatus()>& work) {
    const auto run = [&](const char* sql) -> LogStatus {
        const auto done = detail::execute(db_, sql, {}, path_, nothingChanged);
        const LogError* error = logErrorOf(done);
        return error != nullptr ? LogStatus(*error) : LogStatus();
    };
    if (auto failed = run(begin)) return failed;
    inTransaction_ = true;
    LogStatus failed = work();
    inTransaction_ = false;
    if (!failed) failed = run("COMMIT");
    if (failed) run("ROLLBACK");
    return failed;
}

void RunLog::noteDamage(const LogError& error) {
    if (error.problem != Problem::Damaged || damage_) return;
    damage_ = error;
    checkpointOnClose(false);
    if (onDamage_) onDamage_();
}

void RunLog::checkpointOnClose(bool fold) {
    // Closing the last connection folds the write-ahead file into the log: a
    // write, which a file that may be damaged must not get.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, fold ? 0 : 1, nullptr);
}

LogStatus RunLog::runPutOffCheck(const std::function<bool()>& goOn) const {
    sqlite3* db = nullptr;
    LogStatus verdict;
    const int code = sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (code != SQLITE_OK) {
        verdict = db != nullptr ? detail::sqlError(db, path_, nothingChanged)
                                : detail::sqlError(code, path_, nothingChanged);
    } else {
        constexpr int instructionsBetweenAsking = 10000;
        sqlite3_progress_handler(
            db, instructionsBetweenAsking,
            +[](void* asked) {
                return (*static_cast<const std::function<bool()>*>(asked))() ? 0 : 1;
            },
            const_cast<std::function<bool()>*>(&goOn));
        verdict = checkFile(db, path_, nothingChanged);
    }
    sqlite3_close_v2(db);
    return verdict;
}

void RunLog::finishCheck(const LogStatus& verdict) {
    if (verdict) {
        noteDamage(*verdict);
        return;
    }
    checked_ = true;
    if (!damage_) checkpointOnClose(true);
}

LogStatus RunLog::shrinkJournal() {
    if (isReadOnly()) return std::nullopt;
    auto done = detail::execute(db_, "PRAGMA wal_checkpoint(TRUNCATE)", {}, path_, nothingChanged);
    if (const LogError* error = logErrorOf(done)) return *error;
    return std::nullopt;
}

LogStatus RunLog::checkIntegrity() {
    const auto verdict = detail::singleValue(db_, "PRAGMA integrity_check", {}, path_, nothingRead);
    if (const LogError* error = logErrorOf(verdict)) {
        noteDamage(*error);
        return *error;
    }
    const std::string text = columns_detail::textOf(std::get<Cell>(verdict));
    if (text == "ok") return std::nullopt;
    const LogError damaged{Problem::Damaged,
                           detail::damagedText(path_, damageFound(text), nothingRead)};
    noteDamage(damaged);
    return damaged;
}

}  // namespace moravik::runlog

// Opening, closing and setting aside a run log; the changes and queries are in
// run_store.cpp.
#include "moravik/runlog/run_log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <atomic>

#include "schema.h"
#include "sql_support.h"
#include "writer_lock.h"

namespace moravik::runlog {
namespace {

using detail::Consequence;
using detail::nothingChanged;
using detail::nothingRead;

// The folder is Race Day's AppDataLocation (its application name, no
// organisation), spelt out so moravik-calc finds the same file.
constexpr auto logFolder = "moravik-raceday";
constexpr auto logFileName = "run-log.sqlite";

// SQLite keeps a log's recent changes in these files beside it.
constexpr std::array<const char*, 2> companionSuffixes{"-wal", "-shm"};

const Consequence notOpened{QStringLiteral("it was not opened and has not been changed")};

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

QString nextConnectionName() {
    static std::atomic<int> counter = 0;
    return QStringLiteral("moravik-runlog-") + QString::number(++counter);
}

LogError readOnlyFolder(const QString& path) {
    return {Problem::ReadOnly,
            QStringLiteral("The run log %1 cannot be created or written: its folder %2 is "
                           "read-only. Nothing was saved; choose a folder you can write to, or "
                           "open the log read-only.")
                .arg(nativePath(path), nativePath(QFileInfo(path).absolutePath()))};
}

LogError readOnlyFile(const QString& path) {
    return {Problem::ReadOnly,
            QStringLiteral("The run log %1 is a read-only file; it cannot be written and has "
                           "not been changed.")
                .arg(nativePath(path))};
}

LogError lockRefusal(const detail::WriterLock::Refusal& refusal, const QString& path) {
    if (refusal.failure == detail::WriterLock::Failure::NotWritable) return readOnlyFolder(path);
    const QString holder =
        refusal.holder.isEmpty() ? QStringLiteral("another program") : refusal.holder;
    return {Problem::InUse,
            QStringLiteral("The run log %1 is in use by %2. Close it there and try again; "
                           "nothing was changed.")
                .arg(nativePath(path), holder)};
}

using LockOutcome = std::variant<std::unique_ptr<detail::WriterLock>, detail::WriterLock::Refusal>;

LockOutcome lockForWriting(const QString& path, std::chrono::milliseconds wait) {
    return detail::WriterLock::acquire(path + QStringLiteral(".lock"), wait);
}

LogResult<int> pragmaValue(const QSqlDatabase& db, const char* pragma, const QString& path) {
    const auto value = detail::singleValue(db, QStringLiteral("PRAGMA ") + QLatin1String(pragma),
                                           {}, path, notOpened);
    if (const LogError* error = logErrorOf(value)) return *error;
    return std::get<QVariant>(value).toInt();
}

LogError newerVersion(const QString& path, int version);

LogError foreignFile(const QString& path) {
    return {Problem::Foreign,
            QStringLiteral("The file %1 is not a Moravik run log: it holds another program's "
                           "data. It was not opened and has not been changed; choose another "
                           "file for the log.")
                .arg(nativePath(path))};
}

struct Identity {
    int version = 0;      // the log's user_version
    bool marked = false;  // carries our application_id
};

// Tells our logs from other files by reading only: our application_id, or
// (for logs written before it) no id, a version we know and exactly its tables.
// An empty database is a log of version 0.
LogResult<Identity> identify(const QSqlDatabase& db, const QString& path) {
    const auto id = pragmaValue(db, "application_id", path);
    if (const LogError* error = logErrorOf(id)) return *error;
    const auto version = pragmaValue(db, "user_version", path);
    if (const LogError* error = logErrorOf(version)) return *error;
    const Identity identity{std::get<int>(version), std::get<int>(id) == detail::applicationId};
    if (!identity.marked && std::get<int>(id) != 0) return foreignFile(path);
    if (identity.version > detail::currentSchemaVersion()) {
        if (identity.marked) return newerVersion(path, identity.version);
        return foreignFile(path);
    }
    const auto ours = detail::hasSchemaOf(db, identity.version, path);
    if (const LogError* error = logErrorOf(ours)) return *error;
    if (std::get<bool>(ours)) return identity;
    if (!identity.marked) return foreignFile(path);
    return LogError{Problem::Damaged,
                    QStringLiteral("The run log %1 does not have the tables of its version %2; "
                                   "it is damaged. It was not opened and has not been changed.")
                        .arg(nativePath(path), QString::number(identity.version))};
}

// SQLite's quick check reads every page of the file: damage anywhere shows
// here, before anything is written. Empty when the file is sound.
LogStatus quickCheck(const QSqlDatabase& db, const QString& path) {
    const auto verdict =
        detail::singleValue(db, QStringLiteral("PRAGMA quick_check"), {}, path, notOpened);
    if (const LogError* error = logErrorOf(verdict)) return *error;
    const QString text = std::get<QVariant>(verdict).toString();
    if (text == QLatin1String("ok")) return std::nullopt;
    return LogError{Problem::Damaged,
                    QStringLiteral("The run log %1 is damaged (%2); it was not written and has "
                                   "not been changed.")
                        .arg(nativePath(path), text)};
}

LogStatus configureWriting(const QSqlDatabase& db, const QString& path, int maxPageCount) {
    const auto mode =
        detail::singleValue(db, QStringLiteral("PRAGMA journal_mode = WAL"), {}, path, notOpened);
    if (const LogError* error = logErrorOf(mode)) return *error;
    if (std::get<QVariant>(mode).toString() != QLatin1String("wal")) {
        return LogError{Problem::Failed,
                        QStringLiteral("The run log %1 could not switch to write-ahead logging; "
                                       "it was not opened.")
                            .arg(nativePath(path))};
    }
    QStringList pragmas{QStringLiteral("PRAGMA synchronous = FULL"),
                        QStringLiteral("PRAGMA foreign_keys = ON")};
    if (maxPageCount > 0) {
        pragmas << QStringLiteral("PRAGMA max_page_count = ") + QString::number(maxPageCount);
    }
    for (const QString& pragma : pragmas) {
        const auto done = detail::execute(db, pragma, {}, path, notOpened);
        if (const LogError* error = logErrorOf(done)) return *error;
    }
    return std::nullopt;
}

LogError newerVersion(const QString& path, int version) {
    return {Problem::NewerVersion,
            QStringLiteral("The run log %1 was written by a newer Moravik (log version %2; this "
                           "one knows up to %3). It was not opened and has not been changed.")
                .arg(nativePath(path), QString::number(version),
                     QString::number(detail::currentSchemaVersion()))};
}

// Identifies the file; a damaged log can still be read, so damage found by
// the quick check goes to `damage`, not into the result.
LogStatus prepareReadOnly(const QSqlDatabase& db, const QString& path, LogStatus& damage) {
    const auto identity = identify(db, path);
    if (const LogError* error = logErrorOf(identity)) return *error;
    const int version = std::get<Identity>(identity).version;
    // An empty file has no version: there is nothing Race Day could bring up to date.
    if (version == 0) {
        return LogError{
            Problem::NotFound,
            QStringLiteral("The file %1 is not a run log of Race Day.").arg(nativePath(path))};
    }
    if (version < detail::currentSchemaVersion()) {
        return LogError{Problem::NotFound,
                        QStringLiteral("The file %1 holds no run log of this version; open it "
                                       "once in Race Day to bring it up to date.")
                            .arg(nativePath(path))};
    }
    damage = quickCheck(db, path);
    return std::nullopt;
}

// Every check reads only; the first write is the switch to write-ahead logging.
LogStatus prepareReadWrite(const QSqlDatabase& db, const QString& path, int maxPageCount) {
    const auto identity = identify(db, path);
    if (const LogError* error = logErrorOf(identity)) return *error;
    const auto [version, marked] = std::get<Identity>(identity);
    if (auto damaged = quickCheck(db, path)) return damaged;
    if (auto failed = configureWriting(db, path, maxPageCount)) return failed;
    if (version > 0 && !marked) {
        const auto stamped = detail::execute(
            db, QStringLiteral("PRAGMA application_id = ") + QString::number(detail::applicationId),
            {}, path, notOpened);
        if (const LogError* error = logErrorOf(stamped)) return *error;
    }
    return detail::migrate(db, version, path);
}

// A name beside `path` that no file has yet: "run-log.sqlite.damaged-20240601-143000".
QString setAsideName(const QString& path) {
    const QString stem = path + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo::exists(name + companionSuffixes[0]);
         ++n) {
        name = stem + QLatin1Char('-') + QString::number(n);
    }
    return name;
}

// A reader of a write-ahead log makes its companion files when its folder
// allows. Where there were none before, and no writer holds the log, the
// empty ones it leaves hold nothing and go.
void removeReadersCompanions(const QString& path) {
    const QString writeAhead = path + QLatin1String(companionSuffixes[0]);
    const QString lockFile = path + QStringLiteral(".lock");
    if (!QFileInfo::exists(lockFile) || QFileInfo(writeAhead).size() > 0) return;
    auto locked = detail::WriterLock::acquire(lockFile, std::chrono::milliseconds(0));
    if (!std::holds_alternative<std::unique_ptr<detail::WriterLock>>(locked)) return;
    if (QFileInfo(writeAhead).size() > 0) return;
    for (const char* suffix : companionSuffixes) QFile::remove(path + QLatin1String(suffix));
}

}  // namespace

QString RunLog::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1Char('/') + QLatin1String(logFolder) + QLatin1Char('/') +
           QLatin1String(logFileName);
}

RunLog::RunLog(QString path, QString connectionName, std::unique_ptr<detail::WriterLock> lock)
    : path_(std::move(path)), connectionName_(std::move(connectionName)), lock_(std::move(lock)) {}

RunLog::~RunLog() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (lock_ && !damage_ && db.isOpen()) {
            QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
    if (removeCompanions_) removeReadersCompanions(path_);
}

QSqlDatabase RunLog::connection() const { return QSqlDatabase::database(connectionName_, false); }

LogResult<std::unique_ptr<RunLog>> RunLog::open(const QString& path, const OpenOptions& options) {
    const bool writable = options.access == Access::ReadWrite;
    std::unique_ptr<detail::WriterLock> lock;
    if (writable) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) return readOnlyFolder(path);
        if (const QFileInfo file(path);
            file.exists() && (!file.isWritable() || !file.permission(QFile::WriteOwner))) {
            return readOnlyFile(path);
        }
        auto locked = lockForWriting(path, options.wait);
        if (const auto* refusal = std::get_if<detail::WriterLock::Refusal>(&locked)) {
            return lockRefusal(*refusal, path);
        }
        lock = std::move(std::get<std::unique_ptr<detail::WriterLock>>(locked));
    } else if (!QFileInfo::exists(path)) {
        return LogError{Problem::NotFound,
                        QStringLiteral("There is no run log at %1.").arg(nativePath(path))};
    }

    std::unique_ptr<RunLog> log(new RunLog(path, nextConnectionName(), std::move(lock)));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), log->connectionName_);
    const QString busyTimeout =
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=") + QString::number(options.wait.count());
    if (writable) {
        db.setDatabaseName(path);
        db.setConnectOptions(busyTimeout);
        if (!db.open()) return detail::sqlError(db.lastError(), path, notOpened);
        if (auto failed = prepareReadWrite(db, path, options.maxPageCount)) return *failed;
        return log;
    }
    const auto openAs = [&](bool immutable) {
        db.close();
        if (immutable) {
            db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                               QStringLiteral("?immutable=1"));
            db.setConnectOptions(busyTimeout +
                                 QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        } else {
            db.setDatabaseName(path);
            db.setConnectOptions(busyTimeout + QStringLiteral(";QSQLITE_OPEN_READONLY"));
        }
        return db.open() ? LogStatus() : detail::sqlError(db.lastError(), path, notOpened);
    };
    const bool hadCompanions = std::any_of(
        companionSuffixes.begin(), companionSuffixes.end(),
        [&](const char* suffix) { return QFileInfo::exists(path + QLatin1String(suffix)); });
    if (!QFileInfo::exists(path + QLatin1String(companionSuffixes[0]))) {
        // No write-ahead file: the file alone holds the whole log, and SQLite
        // told so creates nothing beside it while the checks run.
        LogStatus failed = openAs(true);
        if (!failed) failed = prepareReadOnly(db, path, log->damage_);
        if (failed) return *failed;
        // From here SQLite's own locking, so that a writer starting later is
        // seen; where the folder forbids it, the file as it is now.
        if (openAs(false) || logErrorOf(pragmaValue(db, "user_version", path))) {
            if (auto reopened = openAs(true)) return *reopened;
        }
        log->removeCompanions_ = !hadCompanions;
        return log;
    }
    LogStatus failed = openAs(false);
    if (!failed) failed = prepareReadOnly(db, path, log->damage_);
    if (failed) return *failed;
    return log;
}

LogResult<RunLog::FreshStart> RunLog::setAsideAndStartFresh(const QString& path,
                                                            const OpenOptions& options) {
    auto locked = lockForWriting(path, options.wait);
    if (const auto* refusal = std::get_if<detail::WriterLock::Refusal>(&locked)) {
        return lockRefusal(*refusal, path);
    }
    const QString keptAs = setAsideName(path);
    if (!QFile::rename(path, keptAs)) {
        return LogError{Problem::Failed,
                        QStringLiteral("The file %1 could not be renamed to %2; it is unchanged "
                                       "and no new log was started.")
                            .arg(nativePath(path), nativePath(keptAs))};
    }
    for (const char* suffix : companionSuffixes) {
        const QString companion = path + QLatin1String(suffix);
        if (QFileInfo::exists(companion)) QFile::rename(companion, keptAs + QLatin1String(suffix));
    }
    locked = detail::WriterLock::Refusal{};  // open() takes the lock again
    auto fresh = open(path, {Access::ReadWrite, options.wait, options.maxPageCount});
    if (const LogError* error = logErrorOf(fresh)) return *error;
    return FreshStart{std::move(std::get<std::unique_ptr<RunLog>>(fresh)), keptAs};
}

LogStatus RunLog::inTransaction(const std::function<LogStatus()>& change) {
    if (damage_) {
        return LogError{Problem::Damaged,
                        QStringLiteral("The run log %1 is damaged and is not written; nothing was "
                                       "changed. Set it aside to start a fresh log.")
                            .arg(nativePath(path_))};
    }
    if (isReadOnly()) {
        return LogError{Problem::ReadOnly,
                        QStringLiteral("The run log %1 is open read-only; nothing was changed.")
                            .arg(nativePath(path_))};
    }
    if (inTransaction_) return change();  // part of an enclosing change
    QSqlDatabase db = connection();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return detail::sqlError(query.lastError(), path_, nothingChanged);
    }
    inTransaction_ = true;
    LogStatus failed = change();
    inTransaction_ = false;
    if (!failed && !query.exec(QStringLiteral("COMMIT"))) {
        failed = detail::sqlError(query.lastError(), path_, nothingChanged);
    }
    if (failed) query.exec(QStringLiteral("ROLLBACK"));
    if (failed) noteDamage(*failed);
    return failed;
}

void RunLog::noteDamage(const LogError& error) {
    if (error.problem == Problem::Damaged && !damage_) damage_ = error;
}

LogStatus RunLog::shrinkJournal() {
    if (isReadOnly()) return std::nullopt;
    auto done = detail::execute(connection(), QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), {},
                                path_, nothingChanged);
    if (const LogError* error = logErrorOf(done)) return *error;
    return std::nullopt;
}

LogStatus RunLog::checkIntegrity() {
    const auto verdict = detail::singleValue(connection(), QStringLiteral("PRAGMA integrity_check"),
                                             {}, path_, nothingRead);
    if (const LogError* error = logErrorOf(verdict)) {
        noteDamage(*error);
        return *error;
    }
    const QString text = std::get<QVariant>(verdict).toString();
    if (text == QLatin1String("ok")) return std::nullopt;
    const LogError damaged{
        Problem::Damaged,
        QStringLiteral("The run log %1 is damaged: %2").arg(nativePath(path_), text)};
    noteDamage(damaged);
    return damaged;
}

}  // namespace moravik::runlog

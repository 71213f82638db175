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

// Reads the schema version, which also proves the file is a database.
LogResult<int> schemaVersion(const QSqlDatabase& db, const QString& path) {
    const auto version =
        detail::singleValue(db, QStringLiteral("PRAGMA user_version"), {}, path, notOpened);
    if (const LogError* error = logErrorOf(version)) return *error;
    return std::get<QVariant>(version).toInt();
}

// Reads the schema and the first page of each table: a damaged header, schema
// or table root shows here. SQLite finds damage deeper in the file when it
// reads it, and every query reports it as Problem::Damaged. The full check
// (checkIntegrity) reads the whole file, too slow for every opening.
LogStatus checkStructure(const QSqlDatabase& db, const QString& path, int version) {
    QString probe = QStringLiteral("SELECT count(*) FROM sqlite_master");
    if (version > 0) {
        probe += QStringLiteral(
            " UNION ALL SELECT (SELECT 1 FROM vehicles NOT INDEXED LIMIT 1) UNION ALL "
            "SELECT (SELECT 1 FROM runs NOT INDEXED LIMIT 1)");
    }
    auto read = detail::execute(db, probe, {}, path, notOpened);
    if (const LogError* error = logErrorOf(read)) return *error;
    QSqlQuery& query = std::get<QSqlQuery>(read);
    while (query.next()) {
    }
    if (!query.lastError().isValid()) return std::nullopt;
    return detail::sqlError(query.lastError(), path, notOpened);
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

LogStatus prepareReadOnly(const QSqlDatabase& db, const QString& path) {
    const auto version = schemaVersion(db, path);
    if (const LogError* error = logErrorOf(version)) return *error;
    const int found = std::get<int>(version);
    if (found > detail::currentSchemaVersion()) return newerVersion(path, found);
    // Every log Race Day made has a version; an empty file or another
    // program's database has none, and Race Day cannot bring that up to date.
    if (found == 0) {
        return LogError{
            Problem::NotFound,
            QStringLiteral("The file %1 is not a run log of Race Day.").arg(nativePath(path))};
    }
    if (found < detail::currentSchemaVersion()) {
        return LogError{Problem::NotFound,
                        QStringLiteral("The file %1 holds no run log of this version; open it "
                                       "once in Race Day to bring it up to date.")
                            .arg(nativePath(path))};
    }
    return std::nullopt;
}

LogStatus prepareReadWrite(const QSqlDatabase& db, const QString& path, int maxPageCount) {
    const auto version = schemaVersion(db, path);
    if (const LogError* error = logErrorOf(version)) return *error;
    const int found = std::get<int>(version);
    if (found > detail::currentSchemaVersion()) return newerVersion(path, found);
    if (auto damaged = checkStructure(db, path, found)) return damaged;
    if (auto failed = configureWriting(db, path, maxPageCount)) return failed;
    return detail::migrate(db, found, path);
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
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase RunLog::connection() const { return QSqlDatabase::database(connectionName_, false); }

LogResult<std::unique_ptr<RunLog>> RunLog::open(const QString& path, const OpenOptions& options) {
    const bool writable = options.access == Access::ReadWrite;
    std::unique_ptr<detail::WriterLock> lock;
    if (writable) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) return readOnlyFolder(path);
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
    db.setDatabaseName(path);
    db.setConnectOptions(busyTimeout + QStringLiteral(";QSQLITE_OPEN_READONLY"));
    LogStatus failed =
        db.open() ? prepareReadOnly(db, path) : detail::sqlError(db.lastError(), path, notOpened);
    // SQLite reads a log in write-ahead mode only where it may create the
    // companion files, unless told that no one is writing it: true when the
    // folder is read-only and no write-ahead file exists.
    if (failed && failed->problem == Problem::ReadOnly &&
        !QFileInfo::exists(path + QLatin1String(companionSuffixes[0]))) {
        db.close();
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?immutable=1"));
        db.setConnectOptions(busyTimeout +
                             QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        failed = db.open() ? prepareReadOnly(db, path)
                           : detail::sqlError(db.lastError(), path, notOpened);
    }
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
    return failed;
}

LogStatus RunLog::checkIntegrity() {
    const auto verdict = detail::singleValue(connection(), QStringLiteral("PRAGMA integrity_check"),
                                             {}, path_, nothingRead);
    if (const LogError* error = logErrorOf(verdict)) return *error;
    const QString text = std::get<QVariant>(verdict).toString();
    if (text == QLatin1String("ok")) return std::nullopt;
    return LogError{Problem::Damaged,
                    QStringLiteral("The run log %1 is damaged: %2").arg(nativePath(path_), text)};
}

}  // namespace moravik::runlog

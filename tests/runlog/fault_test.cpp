// Each fault keeps the log as it was and says what happened.
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "child_process.h"
#include "runlog_test_support.h"

namespace moravik::runlog {
namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes, qint64 at = 0) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(at);
    file.write(bytes);
}

// Where SQLite keeps the first page of a table, counted from 1.
int rootPage(const QString& path, const char* table) {
    int page = 0;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "pages");
        raw.setDatabaseName(path);
        raw.open();
        QSqlQuery query(raw);
        query.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'")
                       .arg(QLatin1String(table)));
        if (query.next()) page = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase("pages");
    EXPECT_GT(page, 1);
    return page;
}

// A closed log of three runs.
void makeLog(const QString& path) {
    const auto log = openLog(path);
    const VehicleId id = valueOf(log->addVehicle(namedVehicle("Camaro")));
    for (int n = 0; n < 3; ++n) valueOf(log->addRun(numberedRun(id, n)));
}

class FaultTest : public testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("run-log.sqlite"));
};

TEST_F(FaultTest, AReadOnlyFolderIsReportedAndTheLogStillOpensReadOnly) {
    makeLog(path);
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0500), 0);
    const struct {
        QStringList arguments;
        const char* expected;
    } table[] = {
        {{QStringLiteral("open"), path}, "read-only"},
        {{QStringLiteral("open"), folder.filePath(QStringLiteral("new.sqlite"))}, "read-only"},
        {{QStringLiteral("open"), path, QStringLiteral("read")}, "opened 3"},
    };
    for (const auto& row : table) {
        QProcess child;
        startChild(child, row.arguments, /*withoutPermissionOverride=*/true);
        const QString line = nextLine(child);
        EXPECT_TRUE(line.contains(QLatin1String(row.expected))) << line.toStdString();
        child.waitForFinished();
    }
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
}

TEST_F(FaultTest, AFullDiskRefusesTheChangeAndKeepsEverythingElse) {
    auto log = openLog(path, {.maxPageCount = 12});
    const VehicleId id = valueOf(log->addVehicle(namedVehicle("Camaro")));
    int saved = 0;
    LogResult<RunId> added = RunId{0};
    while (!logErrorOf(added = log->addRun(numberedRun(id, saved)))) ++saved;
    expectProblem(added, Problem::DiskFull,
                  QStringLiteral("is full; the run was not saved, and the log is as it was"));
    ASSERT_GT(saved, 10);
    EXPECT_EQ(valueOf(log->runs()).size(), static_cast<std::size_t>(saved));

    log.reset();
    log = openLog(path);
    EXPECT_EQ(log->checkIntegrity(), std::nullopt);
    valueOf(log->addRun(numberedRun(id, saved)));
    EXPECT_EQ(valueOf(log->runs()).size(), static_cast<std::size_t>(saved + 1));
}

// A file that is not a log, and a log whose table of runs lost its first page.
TEST_F(FaultTest, ADamagedFileIsNeverWrittenAndIsSetAsideOrReadAsTheUserChooses) {
    const QString damagedLog = folder.filePath(QStringLiteral("damaged.sqlite"));
    makeLog(damagedLog);
    writeFile(damagedLog, QByteArray(4096, '\x5a'), (rootPage(damagedLog, "runs") - 1) * 4096);
    const QString notes = folder.filePath(QStringLiteral("notes.sqlite"));
    writeFile(notes, QByteArray("Bandimere, lane 2: 11.92 @ 114\n").repeated(200));
    const struct {
        QString path;
        bool readable;  // what read-only opening can still show
    } table[] = {{notes, false}, {damagedLog, true}};
    for (const auto& [file, readable] : table) {
        const QByteArray before = contentsOf(file);
        expectProblem(RunLog::open(file.toStdString()), Problem::Damaged,
                      QStringLiteral("has not been changed"));
        EXPECT_EQ(contentsOf(file), before);
        EXPECT_FALSE(QFile::exists(file + QStringLiteral("-wal")));

        const auto reader = RunLog::open(file.toStdString(), {.access = Access::ReadOnly});
        EXPECT_EQ(logErrorOf(reader) == nullptr, readable) << file.toStdString();

        const auto fresh = valueOf(RunLog::setAsideAndStartFresh(file.toStdString()));
        EXPECT_EQ(contentsOf(QString::fromStdString(fresh.keptAs)), before);
        EXPECT_TRUE(fresh.keptAs.starts_with(file.toStdString() + ".damaged-"));
        EXPECT_TRUE(valueOf(fresh.log->vehicles()).empty());
        valueOf(fresh.log->addVehicle(namedVehicle("Nova")));
    }
}

TEST_F(FaultTest, ALogOfANewerVersionIsLeftAsItIs) {
    makeLog(path);
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        raw.setDatabaseName(path);
        ASSERT_TRUE(raw.open());
        QSqlQuery(raw).exec(QStringLiteral("PRAGMA user_version = 99"));
        raw.close();
    }
    QSqlDatabase::removeDatabase("raw");
    const QByteArray before = contentsOf(path);
    for (const Access access : {Access::ReadWrite, Access::ReadOnly}) {
        expectProblem(RunLog::open(path.toStdString(), {.access = access}), Problem::NewerVersion,
                      QStringLiteral("newer Moravik (log version 99; this one knows up to 1)"));
    }
    EXPECT_EQ(contentsOf(path), before);
}

TEST_F(FaultTest, ASecondProgramWaitsThenHearsTheLogIsInUse) {
    makeLog(path);
    QProcess holder;
    startChild(holder, {QStringLiteral("hold"), path});
    ASSERT_EQ(nextLine(holder), QStringLiteral("ready"));

    QElapsedTimer waited;
    waited.start();
    expectProblem(
        RunLog::open(path.toStdString(), {.wait = std::chrono::milliseconds(300)}), Problem::InUse,
        QStringLiteral("in use by runlog_child (process ") + QString::number(holder.processId()));
    EXPECT_GE(waited.elapsed(), 300);
    // Reading needs no turn.
    EXPECT_EQ(valueOf(openLog(path, {.access = Access::ReadOnly})->runs()).size(), 3U);

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(5000));
    EXPECT_EQ(valueOf(openLog(path)->runs()).size(), 3U);
}

TEST_F(FaultTest, AChangeWhileAnotherProgramWritesWaitsThenReportsInUse) {
    const auto log = openLog(path, {.wait = std::chrono::milliseconds(200)});
    const VehicleId id = valueOf(log->addVehicle(namedVehicle("Camaro")));
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "other");
    other.setDatabaseName(path);
    ASSERT_TRUE(other.open());
    QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE"));
    expectProblem(log->addRun(numberedRun(id, 1)), Problem::InUse,
                  QStringLiteral("in use by another program; nothing was changed"));
    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
    valueOf(log->addRun(numberedRun(id, 1)));
    other.close();
    other = {};
    QSqlDatabase::removeDatabase("other");
}

}  // namespace
}  // namespace moravik::runlog

// Each fault keeps the log as it was and says what happened.
#include <sys/resource.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <csignal>

#include "child_process.h"
#include "outside_changes.h"

namespace moravik::runlog {
namespace {

class FaultTest : public testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("run-log.sqlite"));
};

TEST_F(FaultTest, AReadOnlyFolderIsReportedAndTheLogStillOpensReadOnly) {
    makeLog(path, 3);
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

// moravik-calc log runs on a disk where no file can grow: the log copied
// alone, and with a write-ahead file holding runs.
TEST_F(FaultTest, AReaderOnAFullDiskReadsAllOrSaysWhyNot) {
    makeLog(path, 3);
    const QString withChanges = folder.filePath(QStringLiteral("changed.sqlite"));
    {
        // A copy taken while two more runs are committed to the write-ahead
        // file, not yet folded in.
        const auto log = openLog(path);
        valueOf(log->addRuns(std::vector{numberedRun(1, 3), numberedRun(1, 4)}));
        for (const char* suffix : {"", "-wal"})
            ASSERT_TRUE(QFile::copy(path + suffix, withChanges + suffix));
    }
    ASSERT_GT(QFile(withChanges + QStringLiteral("-wal")).size(), 0);
    const struct {
        QString log;
        int status;
        const char* said;
    } table[] = {{path, 0, "Strip 2"}, {withChanges, 3, "cannot be read now"}};
    for (const auto& [log, status, said] : table) {
        const Calc calc = calcLog(log, {"runs"}, [] {
            const rlimit none{0, 0};
            ::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &none);
        });
        const std::string output = calc.out + calc.err;
        EXPECT_EQ(calc.status, status) << output;
        EXPECT_NE(output.find(said), std::string::npos) << output;
        if (status == 0) {
            EXPECT_FALSE(QFile::exists(log + QStringLiteral("-shm")));
        }
    }
}

// A file that is not a log, and a log whose table of runs lost its first page.
TEST_F(FaultTest, ADamagedFileIsNeverWrittenAndIsSetAsideOrReadAsTheUserChooses) {
    const QString damagedLog = folder.filePath(QStringLiteral("damaged.sqlite"));
    makeLog(damagedLog, 3);
    writeAt(damagedLog, (rootPage(damagedLog, QStringLiteral("runs")) - 1) * 4096, garbage(4096));
    const QString notes = folder.filePath(QStringLiteral("notes.sqlite"));
    writeAt(notes, 0, QByteArray("Bandimere, lane 2: 11.92 @ 114\n").repeated(200));
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

// What moravik-calc log runs says of a file it refuses, in its own words, and
// that the refused reader leaves the file, its -wal and its folder as they were.
TEST_F(FaultTest, ARefusedReaderSaysWhyInItsOwnWordsAndLeavesNothingBeside) {
    makeLog(path, 3000);
    const QString changes = folder.filePath(QStringLiteral("changes.sqlite"));
    {
        const auto log = openLog(path);
        valueOf(log->addRun(numberedRun(1, 3000)));
        for (const char* suffix : {"", "-wal"})
            ASSERT_TRUE(QFile::copy(path + suffix, changes + suffix));
    }
    const QByteArray writeAhead = contentsOf(changes + QStringLiteral("-wal"));
    ASSERT_FALSE(writeAhead.isEmpty());
    const QByteArray log = contentsOf(path);
    const QByteArray notes = QByteArray("Bandimere, lane 2: 11.92 @ 114\n").repeated(200);
    QByteArray middleDamaged = log;
    middleDamaged.replace(log.size() / 2 / 4096 * 4096, 16384, garbage(16384));
    const struct {
        const char* what;
        QByteArray file;
        bool withWriteAhead;
        const char* said;
    } table[] = {
        {"notes", notes, false, "is not a Moravik run log (not an SQLite database"},
        // The -wal file's first page stands for the file's own.
        {"notes beside a -wal", notes, true, "is damaged: its pages do not fit together"},
        {"an empty file beside a -wal", QByteArray(), true,
         "is not a run log of Race Day: it is empty"},
        {"cut short", log.left(log.size() / 3), false, "is damaged: its pages do not fit together"},
        {"damaged inside", middleDamaged, false, "is damaged: its pages do not fit together"},
        {"damaged inside, beside a -wal", middleDamaged, true, "Restore it from a copy"},
    };
    for (const auto& row : table) {
        const QString file = folder.filePath(QStringLiteral("refused.sqlite"));
        writeAt(file, 0, row.file);
        QFile(file).resize(row.file.size());
        if (row.withWriteAhead) writeAt(file + QStringLiteral("-wal"), 0, writeAhead);
        const Calc calc = calcLog(file, {"runs"});
        const std::string said = calc.out + calc.err;
        EXPECT_EQ(calc.status, 3) << row.what << ": " << said;
        EXPECT_NE(said.find(row.said), std::string::npos) << row.what << ": " << said;
        for (const char* libraryText :
             {"file is not a database", "malformed", "disk I/O", "***", "integrity"})
            EXPECT_EQ(said.find(libraryText), std::string::npos) << row.what << ": " << said;
        EXPECT_EQ(contentsOf(file), row.file) << row.what;
        EXPECT_EQ(contentsOf(file + QStringLiteral("-wal")),
                  row.withWriteAhead ? writeAhead : QByteArray())
            << row.what;
        EXPECT_FALSE(QFile::exists(file + QStringLiteral("-shm"))) << row.what;
        EXPECT_FALSE(QFile::exists(file + QStringLiteral(".lock"))) << row.what;
        for (const char* suffix : {"", "-wal"}) QFile::remove(file + suffix);
    }
}

TEST_F(FaultTest, ALogOfANewerVersionIsLeftAsItIs) {
    makeLog(path, 3);
    rawSql(path, {QStringLiteral("PRAGMA user_version = 99")});
    const QByteArray before = contentsOf(path);
    for (const Access access : {Access::ReadWrite, Access::ReadOnly}) {
        expectProblem(RunLog::open(path.toStdString(), {.access = access}), Problem::NewerVersion,
                      QStringLiteral("newer Moravik (log version 99; this one knows up to 2)"));
    }
    EXPECT_EQ(contentsOf(path), before);
}

TEST_F(FaultTest, ASecondProgramWaitsThenHearsTheLogIsInUse) {
    makeLog(path, 3);
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
    const auto other = otherConnection(path);
    ASSERT_EQ(sqlite3_exec(other.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    expectProblem(log->addRun(numberedRun(id, 1)), Problem::InUse,
                  QStringLiteral("in use by another program; nothing was changed"));
    sqlite3_exec(other.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    valueOf(log->addRun(numberedRun(id, 1)));
}

}  // namespace
}  // namespace moravik::runlog

// A file that is not a healthy Moravik log is never written: not by the log,
// not by moravik-calc, not even by its switch to write-ahead logging.
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "child_process.h"
#include "outside_changes.h"

namespace moravik::runlog {
namespace {

// moravik-calc log ... on `path`: its exit status.
int calc(const QString& path, const std::vector<std::string>& arguments) {
    return calcLog(path, arguments).status;
}

bool hasCompanions(const QString& path) {
    return QFile::exists(path + QStringLiteral("-wal")) ||
           QFile::exists(path + QStringLiteral("-shm"));
}

class ForeignTest : public testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("run-log.sqlite"));
};

TEST_F(ForeignTest, AnotherProgramsDatabaseIsRefusedByNameAndLeftByteForByte) {
    const QString ourRuns = QStringLiteral(
        "CREATE TABLE runs (id INTEGER PRIMARY KEY, et_s REAL NOT NULL CHECK (et_s > 0))");
    const struct {
        const char* what;
        bool ourTables;  // made as a log of ours first
        QStringList statements;
    } table[] = {
        {"its own tables, version 0", false, {QStringLiteral("CREATE TABLE notes (body TEXT)")}},
        {"a runs table, version 1", false, {ourRuns, QStringLiteral("PRAGMA user_version = 1")}},
        {"another program's application id",
         false,
         {QStringLiteral("CREATE TABLE t (x)"), QStringLiteral("PRAGMA application_id = 7")}},
        {"our tables under another program's id",
         true,
         {QStringLiteral("PRAGMA application_id = 7")}},
        {"in write-ahead mode already",
         false,
         {QStringLiteral("PRAGMA journal_mode = WAL"), QStringLiteral("CREATE TABLE t (x)")}},
    };
    for (const auto& row : table) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral(".lock"));
        if (row.ourTables) makeLog(path, 1);
        rawSql(path, row.statements);
        const QByteArray before = contentsOf(path);
        for (const Access access : {Access::ReadWrite, Access::ReadOnly}) {
            expectProblem(
                RunLog::open(path.toStdString(), {.access = access}), Problem::Foreign,
                QDir::toNativeSeparators(path) + QStringLiteral(" is not a Moravik run log"));
        }
        EXPECT_EQ(calc(path, {"runs"}), 3) << row.what;
        EXPECT_EQ(contentsOf(path), before) << row.what;
        EXPECT_FALSE(hasCompanions(path)) << row.what;
        EXPECT_EQ(QFile::exists(path + QStringLiteral(".lock")), row.ourTables) << row.what;
    }
}

// A log written before logs were marked is known by its version and tables,
// and marked when opened for writing.
TEST_F(ForeignTest, LogsAreMarkedAndAnUnmarkedLogOfOursIsStillOurs) {
    makeLog(path, 2);
    const int mark = rawSql(path, {QStringLiteral("PRAGMA application_id")});
    EXPECT_NE(mark, 0);
    rawSql(path, {QStringLiteral("PRAGMA application_id = 0")});
    EXPECT_EQ(valueOf(openLog(path, {.access = Access::ReadOnly})->runs()).size(), 2U);
    EXPECT_EQ(valueOf(openLog(path)->runs()).size(), 2U);
    EXPECT_EQ(rawSql(path, {QStringLiteral("PRAGMA application_id")}), mark);
}

TEST_F(ForeignTest, DeepDamageIsFoundOnOpeningAndTheFileIsNeverWritten) {
    makeLog(path, 3000);
    damageTheMiddle(path);
    const QByteArray before = contentsOf(path);
    expectProblem(RunLog::open(path.toStdString()), Problem::Damaged,
                  QStringLiteral("has not been changed"));

    const auto reader = openLog(path, {.access = Access::ReadOnly});
    ASSERT_TRUE(reader->damage().has_value());
    EXPECT_TRUE(reader->isReadOnly());
    expectProblem(reader->addRun(numberedRun(1, 1)), Problem::Damaged, QStringLiteral("damaged"));

    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"runs"},
          {"runs", "--json"},
          {"predict", "--vehicle", "Camaro", "--now", "60F 29.92inHg"}}) {
        EXPECT_EQ(calc(path, command), 3) << command.front();
    }
    EXPECT_EQ(contentsOf(path), before);
}

// A check put off at opening: the log reads at once and takes no change
// until the check passes. A damaged file is not written, not even by the
// closing that would fold another program's change into it.
TEST_F(ForeignTest, ACheckPutOffHoldsWritingBackUntilItPasses) {
    const struct { bool damaged, checked; } table[] = {{false, true}, {true, true}, {true, false}};
    for (const auto& row : table) {
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(path + suffix);
        makeLog(path, 3000);
        if (row.damaged) damageTheMiddle(path);
        const QByteArray before = contentsOf(path);
        {
            const auto log = openLog(path, {.checkLater = true});
            rawSql(path, {QStringLiteral("UPDATE vehicles SET notes = 'x'")});
            EXPECT_TRUE(log->isReadOnly());
            expectProblem(log->addVehicle(namedVehicle("Nova")), Problem::ReadOnly,
                          QStringLiteral("being checked"));
            if (row.checked) {
                const LogStatus verdict = log->runPutOffCheck([] { return true; });
                EXPECT_EQ(verdict.has_value(), row.damaged);
                log->finishCheck(verdict);
                EXPECT_EQ(log->isReadOnly(), row.damaged);
                EXPECT_EQ(logErrorOf(log->addVehicle(namedVehicle("Nova"))) == nullptr,
                          !row.damaged);
            }
        }
        if (row.damaged) {
            EXPECT_EQ(contentsOf(path), before);
        }
    }
}

// Damage a statement meets after opening makes the log read-only at once.
TEST_F(ForeignTest, DamageMetLaterStopsAllWriting) {
    makeLog(path, 3);
    auto log = openLog(path);
    writeAt(path, (rootPage(path, QStringLiteral("runs_by_time")) - 1) * 4096, garbage(4096));
    // Another program's change makes the log's connection read the file again.
    rawSql(path, {QStringLiteral("UPDATE vehicles SET notes = 'x'")});
    const QByteArray before = contentsOf(path);
    expectProblem(log->runs(), Problem::Damaged, QStringLiteral("damaged"));
    EXPECT_TRUE(log->isReadOnly());
    expectProblem(log->addVehicle(namedVehicle("Nova")), Problem::Damaged,
                  QStringLiteral("nothing was changed"));
    log.reset();
    EXPECT_EQ(contentsOf(path), before);  // the other program's change not folded in
}

TEST_F(ForeignTest, AReadOnlyFileInAWritableFolderIsNotOpenedForWriting) {
    makeLog(path, 1);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const QByteArray before = contentsOf(path);
    expectProblem(RunLog::open(path.toStdString()), Problem::ReadOnly,
                  QStringLiteral("read-only file"));
    EXPECT_EQ(valueOf(openLog(path, {.access = Access::ReadOnly})->runs()).size(), 1U);
    EXPECT_EQ(contentsOf(path), before);
    ::chmod(QFile::encodeName(path).constData(), 0644);
}

// Reading leaves nothing beside the log: moravik-calc, and any reader, on the
// log and on a copy of it without its lock file, as a backup restores it.
TEST_F(ForeignTest, ReadingCreatesNoCompanionFiles) {
    makeLog(path, 2);
    const QString copy = folder.filePath(QStringLiteral("copy.sqlite"));
    ASSERT_TRUE(QFile::copy(path, copy));
    for (const QString& log : {path, copy}) {
        ASSERT_FALSE(hasCompanions(log));
        EXPECT_EQ(calc(log, {"runs"}), 0);
        EXPECT_FALSE(hasCompanions(log)) << log.toStdString();
        {
            const auto reader = openLog(log, {.access = Access::ReadOnly});
            EXPECT_EQ(valueOf(reader->runs()).size(), 2U);
        }
        EXPECT_FALSE(hasCompanions(log)) << log.toStdString();
    }
    EXPECT_FALSE(QFile::exists(copy + QStringLiteral(".lock")));
    // The empty ones a reader killed before closing leaves go with the next.
    for (const char* suffix : {"-wal", "-shm"}) writeAt(copy + suffix, 0, {});
    EXPECT_EQ(calc(copy, {"runs"}), 0);
    EXPECT_FALSE(hasCompanions(copy));
}

// Power loss as well as a kill: each commit reaches the disk; the write-ahead
// file is emptied after an import and on closing.
TEST_F(ForeignTest, CommitsAreSynchronousAndTheWriteAheadFileShrinks) {
    auto log = openLog(path);
    sqlite3_stmt* synchronous = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(log->connection(), "PRAGMA synchronous", -1, &synchronous, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(synchronous), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(synchronous, 0), 2);  // FULL
    sqlite3_finalize(synchronous);

    const QString wal = path + QStringLiteral("-wal");
    const VehicleId id = valueOf(log->addVehicle(namedVehicle("Camaro")));
    for (int n = 0; n < 5; ++n) valueOf(log->addRun(numberedRun(id, n)));
    EXPECT_GT(QFileInfo(wal).size(), 0);
    // A reader keeps the write-ahead file from going when the log closes.
    const auto reader = otherConnection(path);
    ASSERT_EQ(sqlite3_exec(reader.get(), "SELECT count(*) FROM runs", nullptr, nullptr, nullptr),
              SQLITE_OK);
    log.reset();
    EXPECT_EQ(QFileInfo(wal).size(), 0);
}

}  // namespace
}  // namespace moravik::runlog

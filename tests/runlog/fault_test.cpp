// Each fault keeps the log as it was and says what happened.
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <csignal>
#include <functional>
#include <iostream>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "child_process.h"
#include "outside_changes.h"

namespace moravik::runlog {
namespace {

bool hasCompanions(const QString& path) {
    return QFile::exists(path + QStringLiteral("-wal")) ||
           QFile::exists(path + QStringLiteral("-shm"));
}

using FaultTest = LogFileTest;

TEST_F(FaultTest, AReadOnlyFolderOrFileIsReportedAndTheLogStillOpensReadOnly) {
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

    // A read-only file in a writable folder is not opened for writing either.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const QByteArray before = contentsOf(path);
    expectProblem(RunLog::open(path.toStdString()), Problem::ReadOnly,
                  QStringLiteral("read-only file"));
    EXPECT_EQ(valueOf(openLog(path, {.access = Access::ReadOnly})->runs()).size(), 3U);
    EXPECT_EQ(contentsOf(path), before);
    ::chmod(QFile::encodeName(path).constData(), 0644);
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

// moravik-calc log runs where no file can grow, on a log alone and on one with a -wal of runs.
TEST_F(FaultTest, AReaderOnAFullDiskReadsAllOrSaysWhyNot) {
    makeLog(path, 3);
    const QString withChanges = folder.filePath(QStringLiteral("changed.sqlite"));
    copyWithUnfoldedRuns(path, withChanges, {numberedRun(1, 3), numberedRun(1, 4)});
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
        EXPECT_TRUE(status != 0 || !QFile::exists(log + "-shm"));
    }
}

// A refused reader says why in its own words and leaves the file, its -wal and folder as they were.
TEST_F(FaultTest, ARefusedReaderSaysWhyInItsOwnWordsAndLeavesNothingBeside) {
    makeLog(path, 3000);
    const QString changes = folder.filePath(QStringLiteral("changes.sqlite"));
    copyWithUnfoldedRuns(path, changes, {numberedRun(1, 3000)});
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
    const QString file = folder.filePath(QStringLiteral("refused.sqlite"));
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        writeAt(file, 0, row.file);
        QFile(file).resize(row.file.size());
        if (row.withWriteAhead) writeAt(file + "-wal", 0, writeAhead);
        const Calc calc = calcLog(file, {"runs"});
        const std::string said = calc.out + calc.err;
        EXPECT_EQ(calc.status, 3) << said;
        EXPECT_NE(said.find(row.said), std::string::npos) << said;
        for (const char* libraryText :
             {"file is not a database", "malformed", "disk I/O", "***", "integrity"})
            EXPECT_EQ(said.find(libraryText), std::string::npos) << said;
        EXPECT_EQ(contentsOf(file), row.file);
        EXPECT_EQ(contentsOf(file + "-wal"), row.withWriteAhead ? writeAhead : QByteArray());
        EXPECT_FALSE(QFile::exists(file + "-shm") || QFile::exists(file + ".lock"));
        removeLog(file);
    }
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

// Never written, not even by a switch to write-ahead logging; damaged: read-only, or set aside.
TEST_F(FaultTest, AFileThatIsNoHealthyLogIsRefusedAndLeftByteForByte) {
    const auto sql = [](QStringList statements, int runs = 0) {
        return [=](const QString& file) {
            if (runs > 0) makeLog(file, runs);
            rawSql(file, statements);
        };
    };
    const auto damaged = [](int runs, const char* table) {
        return [=](const QString& file) {
            makeLog(file, runs);
            if (runs >= 3000)
                damageTheMiddle(file);
            else
                writeAt(file, (rootPage(file, QLatin1String(table)) - 1) * 4096, garbage(4096));
        };
    };
    const QString foreign = QDir::toNativeSeparators(path) + " is not a Moravik run log";
    const QString damage = QStringLiteral("has not been changed");
    const struct {
        const char* what;
        std::function<void(const QString&)> make;
        Problem problem;
        QString says;
        bool readable;  // opened read-only, with its damage noted
    } table[] = {
        {"notes",
         [](const QString& file) {
             writeAt(file, 0, QByteArray("Bandimere, lane 2: 11.92 @ 114\n").repeated(200));
         },
         Problem::Damaged, damage, false},
        {"the runs table's first page lost", damaged(3, "runs"), Problem::Damaged, damage, true},
        {"damaged deep inside", damaged(3000, ""), Problem::Damaged, damage, true},
        {"a newer version", sql({"PRAGMA user_version = 99"}, 3), Problem::NewerVersion,
         "newer Moravik (log version 99; this one knows up to 2)", false},
        {"its own tables, version 0", sql({"CREATE TABLE notes (body TEXT)"}), Problem::Foreign,
         foreign, false},
        {"a runs table, version 1",
         sql({"CREATE TABLE runs (id INTEGER PRIMARY KEY, et_s REAL NOT NULL CHECK (et_s > 0))",
              "PRAGMA user_version = 1"}),
         Problem::Foreign, foreign, false},
        {"another program's application id",
         sql({"CREATE TABLE t (x)", "PRAGMA application_id = 7"}), Problem::Foreign, foreign,
         false},
        {"our tables under another program's id", sql({"PRAGMA application_id = 7"}, 1),
         Problem::Foreign, foreign, false},
        {"in write-ahead mode already", sql({"PRAGMA journal_mode = WAL", "CREATE TABLE t (x)"}),
         Problem::Foreign, foreign, false},
    };
    const std::vector<std::string> commands[] = {
        {"runs"}, {"runs", "--json"}, {"predict", "--vehicle", "Camaro", "--now", "60F 29.92inHg"}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        removeLog(path);
        row.make(path);
        const QByteArray before = contentsOf(path);
        const bool locked = QFile::exists(path + QStringLiteral(".lock"));
        expectProblem(RunLog::open(path.toStdString()), row.problem, row.says);
        if (const auto reader = RunLog::open(path.toStdString(), {.access = Access::ReadOnly});
            row.readable) {
            auto& log = *std::get<std::unique_ptr<RunLog>>(reader);
            EXPECT_TRUE(log.damage().has_value());
            EXPECT_TRUE(log.isReadOnly());
            expectProblem(log.addRun(numberedRun(1, 1)), Problem::Damaged, "damaged");
        } else {
            expectProblem(reader, row.problem, row.says);
        }
        for (const auto& command : commands) EXPECT_EQ(calcLog(path, command).status, 3);
        EXPECT_EQ(contentsOf(path), before);
        EXPECT_FALSE(hasCompanions(path));
        EXPECT_EQ(QFile::exists(path + QStringLiteral(".lock")), locked);
        if (row.problem != Problem::Damaged) continue;
        const auto fresh = valueOf(RunLog::setAsideAndStartFresh(path.toStdString()));
        EXPECT_EQ(contentsOf(QString::fromStdString(fresh.keptAs)), before);
        EXPECT_TRUE(fresh.keptAs.starts_with(path.toStdString() + ".damaged-"));
        EXPECT_TRUE(valueOf(fresh.log->vehicles()).empty());
        valueOf(fresh.log->addVehicle(namedVehicle("Nova")));
    }
}

// A log from before the mark is known by its version and tables, and marked on writing.
TEST_F(FaultTest, LogsAreMarkedAndAnUnmarkedLogOfOursIsStillOurs) {
    makeLog(path, 2);
    const int mark = rawSql(path, {QStringLiteral("PRAGMA application_id")});
    EXPECT_NE(mark, 0);
    rawSql(path, {QStringLiteral("PRAGMA application_id = 0")});
    EXPECT_EQ(valueOf(openLog(path, {.access = Access::ReadOnly})->runs()).size(), 2U);
    EXPECT_EQ(valueOf(openLog(path)->runs()).size(), 2U);
    EXPECT_EQ(rawSql(path, {QStringLiteral("PRAGMA application_id")}), mark);
}

// Until a put-off check passes no change is taken; a damaged file is not even folded on closing.
TEST_F(FaultTest, ACheckPutOffHoldsWritingBackUntilItPasses) {
    const struct { bool damaged, checked; } table[] = {{false, true}, {true, true}, {true, false}};
    for (const auto& row : table) {
        removeLog(path);
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
        EXPECT_TRUE(!row.damaged || contentsOf(path) == before);
    }
}

// Damage a statement meets after opening makes the log read-only at once.
TEST_F(FaultTest, DamageMetLaterStopsAllWriting) {
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

// Readers leave nothing beside the log, nor beside a copy without its lock (a restored backup).
TEST_F(FaultTest, ReadingCreatesNoCompanionFiles) {
    makeLog(path, 2);
    const QString copy = folder.filePath(QStringLiteral("copy.sqlite"));
    ASSERT_TRUE(QFile::copy(path, copy));
    for (const QString& log : {path, copy}) {
        ASSERT_FALSE(hasCompanions(log));
        EXPECT_EQ(calcLog(log, {"runs"}).status, 0);
        EXPECT_FALSE(hasCompanions(log)) << log.toStdString();
        EXPECT_EQ(valueOf(openLog(log, {.access = Access::ReadOnly})->runs()).size(), 2U);
        EXPECT_FALSE(hasCompanions(log)) << log.toStdString();
    }
    EXPECT_FALSE(QFile::exists(copy + QStringLiteral(".lock")));
    // The empty ones a reader killed before closing leaves go with the next.
    for (const char* suffix : {"-wal", "-shm"}) writeAt(copy + suffix, 0, {});
    EXPECT_EQ(calcLog(copy, {"runs"}).status, 0);
    EXPECT_FALSE(hasCompanions(copy));
}

// Power loss as well as a kill: each commit reaches the disk; closing empties the -wal.
TEST_F(FaultTest, CommitsAreSynchronousAndTheWriteAheadFileShrinks) {
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

// One byte changed anywhere: the runs print as before, or the command names the damage and prints
// only true lines. Before the runs had checksums, 1 flip in 20 was found.
TEST_F(FaultTest, EveryChangedByteIsFoundOrHarmless) {
    makeLog(path, 60);
    const QByteArray pristine = contentsOf(path);
    const Calc before = calcLog(path, {"runs", "--csv"});
    ASSERT_EQ(before.status, 0) << before.err;
    std::set<std::string> trueLines;
    std::istringstream printed(before.out);
    for (std::string line; std::getline(printed, line);) trueLines.insert(line);
    const QString copy = folder.filePath(QStringLiteral("copy.sqlite"));
    std::mt19937 random(33);
    constexpr int trials = 400 * MORAVIK_SWEEP_PERCENT / 100;
    int found = 0;
    for (int trial = 0; trial < trials; ++trial) {
        QByteArray bytes = pristine;
        const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(bytes.size()));
        bytes[at] = static_cast<char>(bytes[at] ^ static_cast<char>(1 + random() % 255));
        removeLog(copy);
        writeAt(copy, 0, bytes);
        const Calc after = calcLog(copy, {"runs", "--csv"});
        if (after.status == 0) {
            EXPECT_EQ(after.out, before.out) << "byte " << at << " changed silently";
            continue;
        }
        ++found;
        EXPECT_NE(after.err, "") << "byte " << at;
        std::istringstream shown(after.out);
        for (std::string line; std::getline(shown, line);)
            EXPECT_TRUE(trueLines.contains(line)) << "byte " << at << " shown as data: " << line;
    }
    // Most of a small log is its runs and their indexes.
    EXPECT_GT(found, trials / 4);
    std::cout << found << " of " << trials << " changed bytes found, the others harmless\n";
}

// A value no run can have (a log from before the checks): left out, and never printed as a figure.
TEST_F(FaultTest, AnImplausibleValueIsLeftOutAndNamed) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(RUNLOG_DATA "/log_v1.sqlite"), path));
    // Run 2 is one of the Camaro's two runs without nitrous.
    rawSql(path, {QStringLiteral("UPDATE runs SET et_s = 1e300 WHERE id = 2")});
    const std::string named = "run 2 was left out";
    const std::vector<std::string> commands[] = {
        {"runs"},
        {"runs", "--json"},
        {"export"},
        {"predict", "--vehicle", "camaro", "--now", "60F 29.92inHg"},
    };
    // Numbers as JSON writes them, or a bound unbroken by a point: not 1e300 written out.
    const std::regex notAFigure("inf|nan|[0-9]{20}");
    for (const auto& words : commands) {
        const Calc run = calcLog(path, words);
        EXPECT_EQ(run.status, 3) << words[0] << run.out;
        EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("ET must lie within 2 to 60 s"), std::string::npos) << run.err;
        EXPECT_FALSE(std::regex_search(run.out, notAFigure)) << run.out;
    }
}

}  // namespace
}  // namespace moravik::runlog

// Damage that leaves a log's structure whole, and values no run can have: what
// moravik-calc log prints from such a log is true or it is not printed.
#include <QTemporaryDir>
#include <iostream>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "child_process.h"
#include "outside_changes.h"

namespace moravik::runlog {
namespace {

class DamageTest : public testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("run-log.sqlite"));
};

// One byte changed at a time anywhere in a log of 60 runs: each time the runs
// print as before, or the command fails naming the damage and prints only
// lines it printed before. Before the runs had checksums, 1 flip in 20 was found.
TEST_F(DamageTest, EveryChangedByteIsFoundOrHarmless) {
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
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(copy + suffix);
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

// A value no run can have, as a log written before the checks may hold: left
// out of the list and the prediction, and never printed as a figure.
TEST_F(DamageTest, AnImplausibleValueIsLeftOutAndNamed) {
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

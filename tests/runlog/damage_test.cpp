// Damage that leaves a log's structure whole, and values no run can have: what
// moravik-calc log prints from such a log is true or it is not printed.
#include <QTemporaryDir>
#include <iostream>
#include <random>
#include <regex>
#include <set>

#include "outside_changes.h"
#include "run_calc.h"

namespace moravik::runlog {
namespace {

class DamageTest : public testing::Test {
protected:
    cli::Run calc(const QString& log, std::vector<std::string> words) {
        words.insert(words.begin(), {"log", "--database", log.toStdString()});
        return cli::run(words);
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("run-log.sqlite"));
};

// One byte changed at a time anywhere in a log of 60 runs: each time the runs
// print as before, or the command fails naming the damage and prints only
// lines it printed before. Before the runs had checksums, 1 flip in 20 was found.
TEST_F(DamageTest, EveryChangedByteIsFoundOrHarmless) {
    makeLog(path, 60);
    const QByteArray pristine = contentsOf(path);
    const cli::Run before = calc(path, {"runs", "--csv"});
    ASSERT_EQ(before.status, cli::ExitStatus::Success) << before.err;
    const auto printed = cli::linesOf(before.out);
    const std::set<std::string> trueLines(printed.begin(), printed.end());
    const QString copy = folder.filePath(QStringLiteral("copy.sqlite"));
    std::mt19937 random(33);
    int found = 0;
    for (int trial = 0; trial < 400; ++trial) {
        QByteArray bytes = pristine;
        const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(bytes.size()));
        bytes[at] = static_cast<char>(bytes[at] ^ static_cast<char>(1 + random() % 255));
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(copy + suffix);
        writeAt(copy, 0, bytes);
        const cli::Run after = calc(copy, {"runs", "--csv"});
        if (after.status == cli::ExitStatus::Success) {
            EXPECT_EQ(after.out, before.out) << "byte " << at << " changed silently";
            continue;
        }
        ++found;
        EXPECT_NE(after.err, "") << "byte " << at;
        for (const std::string& line : cli::linesOf(after.out))
            EXPECT_TRUE(trueLines.contains(line)) << "byte " << at << " shown as data: " << line;
    }
    // Most of a small log is its runs and their indexes.
    EXPECT_GT(found, 100);
    std::cout << found << " of 400 changed bytes found, the others harmless\n";
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
        const cli::Run run = calc(path, words);
        EXPECT_EQ(run.status, cli::ExitStatus::InputOutputError) << words[0] << run.out;
        EXPECT_TRUE(cli::contains(run.err, named)) << run.err;
        EXPECT_TRUE(cli::contains(run.err, "ET must lie within 2 to 60 s")) << run.err;
        EXPECT_FALSE(std::regex_search(run.out, notAFigure)) << run.out;
    }
}

}  // namespace
}  // namespace moravik::runlog

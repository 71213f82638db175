// The loader that the document windows use: what it gives for good and bad files, and, for
// hostile files built here, that each opens or is refused within 2 s and 300 MB, its first
// layout included.
#include "moravik/rtf/loader.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <iostream>
#include <string>

#include "rtf_test_support.h"

namespace moravik::rtf {
namespace {

constexpr std::size_t kKilobyte = 1024;
constexpr std::size_t kMegabyte = 1024 * kKilobyte;

QString write(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

QString textOf(const LoadResult& result) {
    const auto* document = std::get_if<std::unique_ptr<QTextDocument>>(&result);
    return document ? (*document)->toPlainText() : "failed: " + std::get<LoadFailure>(result).reason;
}

TEST(RtfLoader, GivesTheDocumentOrTheReason) {
    QTemporaryDir folder;
    EXPECT_EQ(textOf(loadDocument(write(folder, "a.rtf", "{\\rtf1 {\\b Nitrous} 101\\par Two}"))),
              "Nitrous 101\nTwo");

    // A sparse file: large on paper, nothing written to the disk.
    ASSERT_TRUE(QFile::resize(write(folder, "large.rtf", "{\\rtf1 "), kMaxFileBytes + 1));
    const struct {
        QString path;
        QString reason;
    } failures[] = {
        {folder.filePath("missing.rtf"), "the file does not exist"},
        {folder.path(), "the file cannot be read"},
        {"/dev/zero", "the file cannot be read"},
        {write(folder, "empty.rtf", ""), "the file is empty"},
        {write(folder, "png.rtf", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\r", 12)),
         "the file is not a Rich Text Format document"},
        {folder.filePath("large.rtf"), "the file is larger than 64 MB"},
        {write(folder, "deep.rtf", "{\\rtf1 " + QByteArray(300, '{')),
         "the file nests groups more than 256 levels deep"},
    };
    for (const auto& failure : failures) {
        EXPECT_EQ(textOf(loadDocument(failure.path)), "failed: " + failure.reason);
    }
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_EQ(textOf(loadDocument(folder.filePath("a.rtf"), stopped.get_token())),
              "failed: the loading was cancelled");
}

// Runs the event loop until the loader has finished, or for at most a minute.
bool waitFor(DocumentLoader& loader) {
    QEventLoop loop;
    QObject::connect(&loader, &DocumentLoader::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
    if (loader.isLoading()) loop.exec();
    return !loader.isLoading();
}

TEST(RtfLoader, LoadsOnAWorkerAndHandsTheDocumentOver) {
    QTemporaryDir folder;
    const QString first = write(folder, "1.rtf", "{\\rtf1 First}");
    const QString second = write(folder, "2.rtf", "{\\rtf1 Second}");
    DocumentLoader loader;
    int finished = 0;
    QObject::connect(&loader, &DocumentLoader::finished, [&] { ++finished; });

    loader.start(first);
    loader.start(second);  // cancels the first
    ASSERT_TRUE(waitFor(loader));
    LoadResult result = loader.takeResult();
    EXPECT_EQ(textOf(result), "Second");
    EXPECT_EQ(std::get<0>(result)->thread(), QThread::currentThread());

    loader.start(first);
    loader.cancel();
    QEventLoop().processEvents();
    QThreadPool::globalInstance()->waitForDone();
    QEventLoop().processEvents();
    EXPECT_EQ(finished, 1) << "a cancelled load reports nothing";
    EXPECT_FALSE(loader.isLoading());
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The process's peak resident memory since the last resetPeakMemory().
double peakMegabytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    }
    return -1;
}

void resetPeakMemory() {
    malloc_trim(0);
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// The help windows' text view, less its frame and scroll bar.
constexpr int kViewWidth = 540;

enum class Outcome { Whole, Cut, Refused };

struct HostileFile {
    const char* what;
    std::string body;   // repeated to fill the file
    std::size_t bytes;  // the file's size, at MORAVIK_HOSTILE_FILE_PERCENT 100
    Outcome outcome;
};

// Writes "{\rtf1 " and body over and over, to about bytes in all.
QString writeHostile(const QTemporaryDir& folder, const HostileFile& file, std::size_t bytes) {
    QFile out(folder.filePath("hostile.rtf"));
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const std::string head = "{\\rtf1\\ansi ";
    const std::string chunk = repeated(file.body, kMegabyte / file.body.size() + 1);
    out.write(head.data(), qint64(head.size()));
    std::size_t written = head.size();
    while (written + file.body.size() + 1 <= bytes) {
        const std::size_t times = std::min(chunk.size(), bytes - 1 - written) / file.body.size();
        out.write(chunk.data(), qint64(times * file.body.size()));
        written += times * file.body.size();
    }
    out.write("}");
    return out.fileName();
}

TEST(RtfLoader, OpensOrRefusesHostileFilesWithinTheBounds) {
    const std::vector<HostileFile> files = {
        {"600 KB of {\\b x}{\\i y} in one paragraph", "{\\b x}{\\i y}", 600 * kKilobyte,
         Outcome::Whole},
        {"1.2 MB of {\\b x}{\\i y} in one paragraph", "{\\b x}{\\i y}", 1200 * kKilobyte,
         Outcome::Cut},
        {"6 MB of \\par", "\\par", 6 * kMegabyte, Outcome::Cut},
        {"60 MB of \\par", "\\par", 60 * kMegabyte, Outcome::Cut},
        {"6 MB of \\intbl c\\cell with no \\row", "\\intbl c\\cell ", 6 * kMegabyte, Outcome::Cut},
        {"6 MB of table rows", "\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row ",
         6 * kMegabyte, Outcome::Cut},
        {"6 MB of \\line", "\\line ", 6 * kMegabyte, Outcome::Cut},
        {"6 MB of 1638-point letters", "{\\fs3276 x}", 6 * kMegabyte, Outcome::Cut},
        {"6 MB of paragraphs 22 inches apart", "\\sa31680\\par ", 6 * kMegabyte, Outcome::Cut},
        {"64 MB of one word", "a", 64 * kMegabyte, Outcome::Cut},
        {"64 MB of groups the reader skips", "{\\*\\zz x}", 64 * kMegabyte, Outcome::Whole},
        {"64 MB of groups nested too deep", "{", 64 * kMegabyte, Outcome::Refused},
    };
    const bool fullSize = MORAVIK_HOSTILE_FILE_PERCENT == 100;
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.what);
        QTemporaryDir folder;
        const QString path =
            writeHostile(folder, file, file.bytes * MORAVIK_HOSTILE_FILE_PERCENT / 100);
        resetPeakMemory();
        const double cpuAtStart = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        DocumentLoader loader;
        loader.start(path);
        ASSERT_TRUE(waitFor(loader));
        const LoadResult result = loader.takeResult();
        const auto* document = std::get_if<std::unique_ptr<QTextDocument>>(&result);
        if (document) {
            (*document)->setTextWidth(kViewWidth);
            (*document)->documentLayout()->documentSize();  // lays the whole document out
        }
        const double cpu = cpuSeconds() - cpuAtStart;
        const double peak = peakMegabytes();
        const QString shown = document ? (*document)->begin().text() : QString();
        std::cout << file.what << ": " << cpu << " s processor time (" << wall.elapsed()
                  << " ms on the clock), peak " << peak << " MB, "
                  << (document ? "shown" : "refused: " + std::get<LoadFailure>(result).reason)
                         .toStdString()
                  << '\n';
        EXPECT_EQ(document == nullptr, file.outcome == Outcome::Refused);
        EXPECT_EQ(shown == QString::fromUtf8(kCutNotice), file.outcome == Outcome::Cut);
        // Other processes share the machine, so the bound is on the processor time this one took.
        if (fullSize) {
            EXPECT_LT(cpu, 2.0);
            EXPECT_LT(peak, 300.0);
        }
    }
}

}  // namespace
}  // namespace moravik::rtf

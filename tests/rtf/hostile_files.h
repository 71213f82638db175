// Files made to cost a reader as much time and memory as their size allows, and how they are
// opened and measured: loader_test checks them against the bounds, and bench_rtf measures them.
#pragma once

#include <malloc.h>
#include <sys/resource.h>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

#include "moravik/rtf/loader.h"
#include "rtf_test_support.h"

namespace moravik::rtf {

// Each file opens or is refused within these, first layout included. bench_rtf measures the goal;
// a test guards against a hang or a quadratic blow-up, which no busy machine explains.
inline constexpr double kLoadSecondsGoal = 2;
inline constexpr double kHangSeconds = 10 * kLoadSecondsGoal;
inline constexpr double kMaxLoadMegabytes = 300;
// Qt's font cache prunes faces on the window's thread in a time growing faster than their count:
// 6,800 faces blocked it for 0.8 s, 600 for 0.14 s.
inline constexpr qsizetype kMaxFontFaces = 1000;
// The help windows' text view, less its frame and scroll bar.
inline constexpr int kViewWidth = 540;

enum class HostileOutcome { Whole, Cut, Refused };

struct HostileFile {
    const char* what;
    std::string body;   // repeated to fill the file
    std::size_t bytes;  // the file's size
    HostileOutcome outcome;
};

// 9 families in 4 styles at sizes rising half a point a paragraph from 4 points, to about bytes:
// a font face for each run. The height limit cuts it near 100 points, after some 6,800 faces.
inline std::string manyFontFaces(std::size_t bytes) {
    const char* const families[] = {
        "Arial",           "Times New Roman",  "Courier New",     "DejaVu Sans", "DejaVu Serif",
        "Liberation Sans", "Liberation Serif", "Liberation Mono", "Noto Sans"};
    const char* const styles[] = {"", "\\b", "\\i", "\\b\\i"};
    std::string body = "{\\fonttbl";
    for (int f = 0; f < 9; ++f) body += "{\\f" + std::to_string(f) + " " + families[f] + ";}";
    body += "}";
    for (int halfPoints = 8; halfPoints <= 3000; ++halfPoints) {
        std::string paragraph;
        for (int f = 0; f < 9; ++f)
            for (const char* style : styles)
                paragraph += "{\\f" + std::to_string(f) + "\\fs" + std::to_string(halfPoints) +
                             style + " Nitrous jets }";
        paragraph += "\\par\n";
        // The file's head and closing brace take the rest.
        if (body.size() + paragraph.size() + 16 > bytes) break;
        body += paragraph;
    }
    return body;
}

// The image as a PNG in the hexadecimal that Word writes.
inline std::string pngHex(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex().toStdString();
}

// 16-bit RGBA PNGs, three of 2048 x 1024 (16 MB decoded) and one of 4096 x 4096 (128 MB), which
// the budget leaves out.
inline std::string sixteenBitPictures() {
    std::string body;
    for (const QSize size :
         {QSize(2048, 1024), QSize(2048, 1024), QSize(2048, 1024), QSize(4096, 4096)}) {
        QImage image(size, QImage::Format_RGBA64);
        for (int y = 0; y < size.height(); ++y) {
            const quint16 level = static_cast<quint16>(y * 16);
            auto* line = reinterpret_cast<QRgba64*>(image.scanLine(y));
            std::fill(line, line + size.width(),
                      QRgba64::fromRgba64(level, 0, 65535 - level, 65535));
        }
        body += "{\\pict\\pngblip " + pngHex(image) + "}\\par ";
    }
    return body;
}

// The font faces (family, size, weight, slant) of the document's text.
inline qsizetype fontFaces(const QTextDocument& document) {
    QSet<QString> faces;
    for (const QTextFormat& format : document.allFormats()) {
        if (format.isCharFormat()) faces.insert(format.toCharFormat().font().key());
    }
    return faces.size();
}

inline std::vector<HostileFile> hostileFiles() {
    constexpr std::size_t kKilobyte = 1024;
    constexpr std::size_t kMegabyte = 1024 * kKilobyte;
    using enum HostileOutcome;
    const std::string pictures = sixteenBitPictures();
    return {
        {"600 KB of {\\b x}{\\i y} in one paragraph", "{\\b x}{\\i y}", 600 * kKilobyte, Whole},
        {"1.2 MB of {\\b x}{\\i y} in one paragraph", "{\\b x}{\\i y}", 1200 * kKilobyte, Cut},
        {"6 MB of \\par", "\\par", 6 * kMegabyte, Cut},
        {"60 MB of \\par", "\\par", 60 * kMegabyte, Cut},
        {"6 MB of \\intbl c\\cell with no \\row", "\\intbl c\\cell ", 6 * kMegabyte, Cut},
        {"6 MB of table rows", "\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row ",
         6 * kMegabyte, Cut},
        {"6 MB of \\line", "\\line ", 6 * kMegabyte, Cut},
        {"6 MB of 1638-point letters", "{\\fs3276 x}", 6 * kMegabyte, Cut},
        {"392 KB of text in 6,800 font faces, 4 to 100 points", manyFontFaces(392 * kKilobyte),
         392 * kKilobyte, Cut},
        {"four 16-bit PNGs of 2048 x 1024 and 4096 x 4096", pictures, pictures.size() + 16, Cut},
        // Each link has a format of its own, and all of them one font face.
        {"200 KB of links",
         "{\\field{\\*\\fldinst HYPERLINK \"https://example.com/jets\"}{\\fldrslt Jets}} ",
         200 * kKilobyte, Whole},
        {"6 MB of paragraphs 22 inches apart", "\\sa31680\\par ", 6 * kMegabyte, Cut},
        {"64 MB of one word", "a", 64 * kMegabyte, Cut},
        {"64 MB of groups the reader skips", "{\\*\\zz x}", 64 * kMegabyte, Whole},
        {"64 MB of groups nested too deep", "{", 64 * kMegabyte, Refused},
    };
}

// Writes "{\rtf1\ansi ", body over and over and "}", to about bytes in all.
inline void writeHostileFile(const std::string& path, const HostileFile& file, std::size_t bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string head = "{\\rtf1\\ansi ";
    const std::string chunk = repeated(file.body, (1 << 20) / file.body.size() + 1);
    out << head;
    std::size_t written = head.size();
    while (written + file.body.size() + 1 <= bytes) {
        const std::size_t times = std::min(chunk.size(), bytes - 1 - written) / file.body.size();
        out.write(chunk.data(), static_cast<std::streamsize>(times * file.body.size()));
        written += times * file.body.size();
    }
    out << '}';
}

// Runs the event loop until the loader has finished, or for at most a minute.
inline bool waitFor(DocumentLoader& loader) {
    QEventLoop loop;
    QObject::connect(&loader, &DocumentLoader::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
    if (loader.isLoading()) loop.exec();
    return !loader.isLoading();
}

inline double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Peak resident memory since the last resetPeakMemory(), from the kernel's account.
inline double peakMegabytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    }
    return -1;
}

inline void resetPeakMemory() {
    malloc_trim(0);
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

struct HostileLoad {
    LoadResult result;
    double processorSeconds = 0;  // of every thread of the process
    qint64 wallMilliseconds = 0;
    double peakMegabytes = 0;
};

// Loads the file through the loader the document windows use, and lays the whole document out
// at the windows' width.
inline HostileLoad openAsTheWindowDoes(const QString& path) {
    resetPeakMemory();
    const double startSeconds = processorSeconds();
    QElapsedTimer wall;
    wall.start();
    DocumentLoader loader;
    loader.start(path);
    HostileLoad load;
    load.result = waitFor(loader) ? loader.takeResult() : LoadFailure{"still loading"};
    if (auto* document = std::get_if<std::unique_ptr<QTextDocument>>(&load.result)) {
        (*document)->setTextWidth(kViewWidth);
        (*document)->documentLayout()->documentSize();
    }
    load.processorSeconds = processorSeconds() - startSeconds;
    load.wallMilliseconds = wall.elapsed();
    load.peakMegabytes = peakMegabytes();
    return load;
}

}  // namespace moravik::rtf

// Reading a help document of about 1 MB: the parser alone, and (with Qt) parser plus the
// QTextDocument builder. The goal is under 100 ms for both steps together.
//
// With Qt, also the hostile files of tests/rtf/hostile_files.h, each loaded as the document
// windows load it and laid out whole: the goal is at most 2 s and 300 MB each. The files that
// fill the reader's cost budget with one kind of content (text, runs, paragraphs, table cells)
// show that DocumentCost's units give each kind about the same time.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "moravik/rtf/parser.h"

#ifdef MORAVIK_RTF_BENCH_QT
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include "hostile_files.h"
#include "moravik/rtf/qt_document.h"
#endif

namespace {

// Formatted the way WordPad and Word write help pages: headings, lists, links, tables.
std::string helpDocument(std::size_t targetBytes) {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\fcharset2 Symbol;}{\\f2\\fmodern\\fcharset0 Courier New;}}"
        "{\\colortbl ;\\red0\\green0\\blue255;\\red192\\green0\\blue0;}"
        "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1\n";
    const std::string_view section =
        "\\pard\\sb240\\sa120\\qc\\b\\fs32 Nitrous jets and fuel pressure\\b0\\fs24\\par\n"
        "\\pard\\sa120\\qj The {\\i nitrous jet} sets how much N\\sub 2\\nosupersub O reaches the "
        "engine. Raise the fuel pressure with care: at 6.5 psi the fuel jet is larger than at "
        "5 psi, and a lean mixture burns pistons\\emdash a rich one only costs a few "
        "horsepower. Caf\\'e9 racers say \\ldblquote jet it rich\\rdblquote  for good reason "
        "\\u8364?.\\par\n"
        "\\pard\\li720\\fi-360{\\pntext\\f1\\'b7\\tab}Bottle pressure between "
        "{\\b 900} and {\\b 950} psi.\\par\n"
        "{\\pntext\\f1\\'b7\\tab}Check {\\cf2 every} fitting before a pass.\\par\n"
        "\\pard See {\\field{\\*\\fldinst HYPERLINK \"https://example.com/nitrous\"}"
        "{\\fldrslt {\\ul\\cf1 the nitrous guide}}} for more.\\par\n"
        "\\trowd\\cellx3000\\cellx6000\\pard\\intbl Jet\\cell HP\\cell\\row\n"
        "\\trowd\\cellx3000\\cellx6000\\pard\\intbl\\f2 0.062\\cell 100\\cell\\row\\pard\\f0\n";
    while (rtf.size() < targetBytes) rtf += section;
    rtf += "}";
    return rtf;
}

const std::string& oneMegabyteDocument() {
    static const std::string document = helpDocument(1024 * 1024);
    return document;
}

void BM_ParseRtf(benchmark::State& state) {
    const std::string& rtf = oneMegabyteDocument();
    for (auto _ : state) benchmark::DoNotOptimize(moravik::rtf::parse(rtf));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_ParseRtf)->Unit(benchmark::kMillisecond);

#ifdef MORAVIK_RTF_BENCH_QT
// QTextDocument needs the application's font database; no window is shown.
void startApplication() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_rtf";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

void BM_ParseAndBuildRtf(benchmark::State& state) {
    startApplication();
    const std::string& rtf = oneMegabyteDocument();
    QTextDocument document;
    for (auto _ : state) {
        const moravik::rtf::ParseResult result = moravik::rtf::parse(rtf);
        moravik::rtf::buildDocument(result.document, document);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
    state.counters["characters"] = static_cast<double>(document.characterCount());
}
BENCHMARK(BM_ParseAndBuildRtf)->Unit(benchmark::kMillisecond);

void BM_LoadHostileFile(benchmark::State& state, const moravik::rtf::HostileFile& file) {
    startApplication();
    QTemporaryDir folder;
    const QString path = folder.filePath("hostile.rtf");
    moravik::rtf::writeHostileFile(path.toStdString(), file, file.bytes);
    double peak = 0;
    for (auto _ : state) {
        peak = std::max(peak, moravik::rtf::openAsTheWindowDoes(path).peakMegabytes);
    }
    state.counters["peak_MB"] = peak;
}

// Its processor time counts the loader's worker thread too.
const bool hostileFilesRegistered = [] {
    for (const moravik::rtf::HostileFile& file : moravik::rtf::hostileFiles()) {
        benchmark::RegisterBenchmark(file.what, BM_LoadHostileFile, file)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->Iterations(3);
    }
    return true;
}();
#endif

}  // namespace

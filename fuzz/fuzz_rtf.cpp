// Feeds arbitrary bytes to the RTF parser, builds a QTextDocument of what it reads and lays it
// out at the help windows' width, as a document window would. Besides the sanitizers' checks,
// it checks that every run names an existing format and every format an existing font and link,
// that table rows mark their cells soundly, that a refused file yields no document, and that the
// built document stays within the bounds that keep its layout short.
#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "moravik/rtf/parser.h"
#include "moravik/rtf/qt_document.h"

namespace {

using namespace moravik::rtf;

// The help windows' text view.
constexpr int kViewWidth = 540;
// Qt's layout never ends past this height (moravik/rtf/height_estimate.h keeps documents below it).
constexpr double kQtPageHeight = 8'388'607;

void checkIndexes(const ParseResult& result) {
    if (!result.ok() && !result.document.paragraphs.empty()) std::abort();
    if (result.diagnostics.size() > kMaxDiagnostics) std::abort();
    const Document& document = result.document;
    for (const CharFormat& format : document.formats) {
        if (format.font && *format.font >= document.fonts.size()) std::abort();
        if (format.link && *format.link >= document.links.size()) std::abort();
    }
    for (const Paragraph& paragraph : document.paragraphs) {
        for (const Run& run : paragraph.runs) {
            if (run.format >= document.formats.size()) std::abort();
            if (run.picture && *run.picture >= document.pictures.size()) std::abort();
        }
        // Table cells: ascending run indexes, and every cell but the last ends with its tab.
        const std::vector<std::size_t>& cells = paragraph.cellFirstRuns;
        if (cells.size() > kMaxCells) std::abort();
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (cells[c] > paragraph.runs.size()) std::abort();
            if (c + 1 == cells.size()) break;
            if (cells[c + 1] <= cells[c] ||
                !paragraph.runs[cells[c + 1] - 1].text.ends_with('\t')) {
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ParseResult result = parse(std::string_view(reinterpret_cast<const char*>(data), size));
    checkIndexes(result);
    if (!result.ok()) return 0;
    QTextDocument document;
    buildDocument(result.document, document);
    document.setTextWidth(kViewWidth);
    if (document.documentLayout()->documentSize().height() >= kQtPageHeight) std::abort();
    return 0;
}

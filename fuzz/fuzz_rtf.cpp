// Feeds arbitrary bytes to the RTF parser. Besides the sanitizers' checks, it checks that every
// run names an existing format and every format an existing font and link, that table rows mark
// their cells soundly, and that a refused file yields no document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "moravik/rtf/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const moravik::rtf::ParseResult result =
        moravik::rtf::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!result.ok() && !result.document.paragraphs.empty()) std::abort();
    if (result.diagnostics.size() > moravik::rtf::kMaxDiagnostics) std::abort();
    for (const moravik::rtf::CharFormat& format : result.document.formats) {
        if (format.font && *format.font >= result.document.fonts.size()) std::abort();
        if (format.link && *format.link >= result.document.links.size()) std::abort();
    }
    for (const moravik::rtf::Paragraph& paragraph : result.document.paragraphs) {
        for (const moravik::rtf::Run& run : paragraph.runs) {
            if (run.format >= result.document.formats.size()) std::abort();
        }
        // Table cells: ascending run indexes, and every cell but the last ends with its tab.
        const std::vector<std::size_t>& cells = paragraph.cellFirstRuns;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (cells[c] > paragraph.runs.size()) std::abort();
            if (c + 1 == cells.size()) break;
            if (cells[c + 1] <= cells[c] ||
                !paragraph.runs[cells[c + 1] - 1].text.ends_with('\t')) {
                std::abort();
            }
        }
    }
    return 0;
}

#pragma once

#include <cstddef>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "moravik/rtf/document.h"

namespace moravik::rtf {

// Limits that keep a hostile file from costing more than a bounded amount of memory and time.
inline constexpr std::size_t kMaxGroupDepth = 256;
inline constexpr std::size_t kMaxControlWordLetters = 32;
inline constexpr std::size_t kMaxDiagnostics = 100;
inline constexpr std::size_t kMaxTableEntries = 4096;  // fonts, and colours, each
inline constexpr std::size_t kMaxTabStops = 64;        // per paragraph
inline constexpr std::size_t kMaxCells = 64;           // per table row; more start a new row
inline constexpr std::size_t kMaxPictureBytes = std::size_t{16} * 1024 * 1024;  // each picture
inline constexpr std::size_t kMaxPicturePixels = std::size_t{4096} * 4096;      // each picture

// Qt lays a document out in a time that grows with its text, its paragraphs, its format changes
// (runs), its font faces, its table cells and its pictures. The reader keeps the start of a
// document up to a cost of kMaxDocumentCost, counted in these units, leaves the rest out and marks
// the document as cut, so that any file opens in bounded time and memory. The units are what each
// costs Qt on a 2-core machine, relative to a byte of text; bench/bench_rtf.cpp measures them.
struct DocumentCost {
    static constexpr std::size_t kTextByte = 1;
    static constexpr std::size_t kRun = 8;
    // Each font face (family, size, weight, slant), the first time a run needs it: Qt's font
    // cache, which the window's thread prunes in one go, takes time that grows faster than the
    // count of faces.
    static constexpr std::size_t kFontFace = 2500;
    static constexpr std::size_t kParagraph = 24;
    static constexpr std::size_t kTableCell = 160;
    static constexpr std::size_t kPicturePixels = 16;  // pixels that cost one unit
    // Each picture also costs the text of the placeholder that says why it is left out.
    static constexpr std::size_t kPicture = 64;
};
inline constexpr std::size_t kMaxDocumentCost = 1'500'000;

enum class DiagnosticKind {
    SkippedText,          // a group whose text is not shown: an unknown destination, a header...
    Picture,              // a picture of a kind not shown, or past the limits, is left out
    UnsupportedCodePage,  // bytes of a code page this reader cannot decode, shown as U+FFFD
    NulByte,              // NUL bytes, ignored
    Truncated,            // the file ends inside a group, an escape or binary data
    TrailingContent,      // content after the document's closing brace, ignored
    TableLimit,           // more than kMaxTableEntries fonts or colours; the rest are ignored
    DocumentCut,          // the document costs more than kMaxDocumentCost; the rest is left out
};

struct Diagnostic {
    DiagnosticKind kind = DiagnosticKind::SkippedText;
    std::string message;
    std::size_t offset = 0;  // byte offset in the file where the construct starts
};

// True when the construct means that some text of the file is not shown, or not as written.
bool losesText(DiagnosticKind kind);

struct ParseResult {
    std::string error;  // empty when the file could be read; otherwise the reason in plain words
    Document document;
    std::vector<Diagnostic> diagnostics;  // at most kMaxDiagnostics
    std::size_t omittedDiagnostics = 0;   // how many more there were

    bool ok() const { return error.empty(); }
};

// Reads an RTF file held in memory. Never throws for bad input: a file that cannot be read at
// all gives an error, and anything read past or ignored is listed in the diagnostics. A stop
// request ends the reading early with the error "the reading was cancelled".
ParseResult parse(std::string_view bytes, std::stop_token stop = {});

}  // namespace moravik::rtf

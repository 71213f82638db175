#pragma once

#include <cstddef>
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
inline constexpr std::size_t kMaxCells = 64;           // per table row; more become one cell

enum class DiagnosticKind {
    SkippedText,          // a group whose text is not shown: an unknown destination, a header...
    Picture,              // a picture, shown as the placeholder "[picture]"
    UnsupportedCodePage,  // bytes of a code page other than 1252, shown as U+FFFD
    NulByte,              // NUL bytes, ignored
    Truncated,            // the file ends inside a group, an escape or binary data
    TrailingContent,      // content after the document's closing brace, ignored
    TableLimit,           // more than kMaxTableEntries fonts or colours; the rest are ignored
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
// all gives an error, and anything read past or ignored is listed in the diagnostics.
ParseResult parse(std::string_view bytes);

}  // namespace moravik::rtf

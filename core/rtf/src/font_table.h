#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding.h"

namespace moravik::rtf::detail {

struct FontEntry {
    std::size_t name = 0;              // index into FontTable::names()
    int codePage = 0;                  // 0: the document's code page
    std::optional<SymbolFont> symbol;  // set for a font whose bytes name glyphs
};

// The symbol fonts, known by name, as some writers leave out their character set.
std::optional<SymbolFont> symbolFontNamed(std::string_view name);

// The \fonttbl group. Each entry is read from its words and text, and ends at ';' or at the end
// of its group. At most kMaxTableEntries entries are kept.
class FontTable {
public:
    void beginEntry(int number);  // \fN; the entry before ends first
    void setCharset(int charset) { pendingCharset_ = charset; }
    void setCodePage(int codePage) { pendingCodePage_ = codePage; }
    void appendToName(char32_t character);
    // Returns false when the entry was dropped because the table is full.
    bool endEntry();

    const FontEntry* find(int number) const;
    const std::vector<std::string>& names() const { return names_; }
    std::vector<std::string> takeNames() { return std::move(names_); }

private:
    std::map<int, FontEntry> fonts_;
    std::vector<std::string> names_;
    std::optional<int> pendingNumber_;
    std::string pendingName_;
    std::optional<int> pendingCharset_;  // empty: the entry follows the document's code page
    int pendingCodePage_ = 0;
};

}  // namespace moravik::rtf::detail

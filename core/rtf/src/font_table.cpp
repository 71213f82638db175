#include "font_table.h"

#include <algorithm>
#include <string_view>

#include "moravik/rtf/parser.h"
#include "text_rules.h"

namespace moravik::rtf::detail {
namespace {

constexpr std::size_t kMaxFontNameBytes = 256;
constexpr int kSymbolCharset = 2;

// The code page of a Windows character set (\fcharsetN); 0 for those that follow the document.
int codePageOfCharset(int charset) {
    switch (charset) {
        case 0:
            return 1252;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;
    }
}

}  // namespace

std::optional<SymbolFont> symbolFontNamed(std::string_view name) {
    if (startsWithIgnoringCase(name, "wingdings 2")) return SymbolFont::Wingdings2;
    if (startsWithIgnoringCase(name, "wingdings 3")) return SymbolFont::Wingdings3;
    if (startsWithIgnoringCase(name, "wingdings")) return SymbolFont::Wingdings;
    if (startsWithIgnoringCase(name, "webdings")) return SymbolFont::Webdings;
    if (startsWithIgnoringCase(name, "symbol")) return SymbolFont::Symbol;
    return std::nullopt;
}

void FontTable::beginEntry(int number) { pendingNumber_ = number; }

void FontTable::appendToName(char32_t character) {
    if (character >= 0x20 && pendingName_.size() < kMaxFontNameBytes) {
        appendUtf8(pendingName_, character);
    }
}

bool FontTable::endEntry() {
    const std::string_view blanks = " \t";
    std::string& name = pendingName_;
    name.erase(0, std::min(name.find_first_not_of(blanks), name.size()));
    name.erase(std::min(name.find_last_not_of(blanks) + 1, name.size()));
    bool kept = true;
    if (pendingNumber_ && !name.empty()) {
        if (fonts_.size() < kMaxTableEntries) {
            const FontEntry entry{
                .name = names_.size(),
                .codePage = pendingCodePage_ != 0
                                ? pendingCodePage_
                                : (pendingCharset_ ? codePageOfCharset(*pendingCharset_) : 0),
                .symbol = pendingCharset_ == kSymbolCharset
                              ? symbolFontNamed(name).value_or(SymbolFont::Symbol)
                              : symbolFontNamed(name)};
            if (fonts_.try_emplace(*pendingNumber_, entry).second) names_.push_back(name);
        } else {
            kept = false;
        }
    }
    pendingNumber_.reset();
    pendingName_.clear();
    pendingCharset_.reset();
    pendingCodePage_ = 0;
    return kept;
}

const FontEntry* FontTable::find(int number) const {
    const auto found = fonts_.find(number);
    return found == fonts_.end() ? nullptr : &found->second;
}

}  // namespace moravik::rtf::detail

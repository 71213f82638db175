#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace moravik::rtf::detail {

// The address of a HYPERLINK field, or "" when the field is no link to a web page or a mail
// address. Other schemes (file:, javascript:, ...) never become links, so no document can make
// the viewer open or read another file.
std::string hyperlinkTarget(std::string_view instruction);

// What a SYMBOL field inserts: a character code, and the font it is a code of.
struct SymbolField {
    std::uint32_t code = 0;
    std::string font;      // empty: the field's own font
    bool unicode = false;  // \u: code is a Unicode code point
};

std::optional<SymbolField> symbolField(std::string_view instruction);

}  // namespace moravik::rtf::detail

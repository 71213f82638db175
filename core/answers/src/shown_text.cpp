#include "moravik/answers/shown_text.h"

#include <algorithm>
#include <array>

namespace moravik {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the UTF-8 sequence at the start of text, or 0 when none
// starts there. C1 control characters (U+0080 to U+009F) count as none.
std::size_t sequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if (!isContinuation(static_cast<unsigned char>(text[i]))) return 0;
    if (lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0) return 0;
    return length;
}

void appendEscape(std::string& shown, unsigned char byte) {
    switch (byte) {
        case '\n':
            shown.append("\\n");
            return;
        case '\t':
            shown.append("\\t");
            return;
        case '\r':
            shown.append("\\r");
            return;
        case '\\':
            shown.append("\\\\");
            return;
        default:
            break;
    }
    constexpr std::string_view hexDigits = "0123456789abcdef";
    shown.append("\\x").push_back(hexDigits[byte >> 4]);
    shown.push_back(hexDigits[byte & 0xF]);
}

bool isControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// The bidirectional embeddings, overrides and isolates (U+202A to U+202E,
// U+2066 to U+2069): shown as they are, they reorder the text after them.
bool isBidiControl(std::string_view sequence) {
    if (sequence.size() != 3 || sequence[0] != '\xE2') return false;
    const auto second = static_cast<unsigned char>(sequence[1]);
    const auto third = static_cast<unsigned char>(sequence[2]);
    return (second == 0x80 && third >= 0xAA && third <= 0xAE) ||
           (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

// "\u202e"
void appendHexEscape(std::string& shown, unsigned point) {
    constexpr std::string_view hexDigits = "0123456789abcdef";
    shown.append("\\u");
    for (int shift = 12; shift >= 0; shift -= 4) shown.push_back(hexDigits[(point >> shift) & 0xF]);
}

void appendCodePointEscape(std::string& shown, std::string_view sequence) {
    appendHexEscape(shown, (static_cast<unsigned char>(sequence[0]) & 0x0Fu) << 12 |
                               (static_cast<unsigned char>(sequence[1]) & 0x3Fu) << 6 |
                               (static_cast<unsigned char>(sequence[2]) & 0x3Fu));
}

std::string escaped(std::string_view text, bool backslashes) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text.front());
        const std::size_t length = sequenceLength(text);
        if (length == 0 || (length == 1 && (isControl(byte) || (backslashes && byte == '\\')))) {
            appendEscape(shown, byte);
            text.remove_prefix(1);
        } else if (isBidiControl(text.substr(0, length))) {
            appendCodePointEscape(shown, text.substr(0, length));
            text.remove_prefix(length);
        } else {
            shown.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return shown;
}

}  // namespace

std::string escapedText(std::string_view text) { return escaped(text, true); }

std::string withoutControls(std::string_view text) { return escaped(text, false); }

std::string quotedText(std::string_view text, std::size_t maxShown) {
    if (text.size() <= maxShown) return '"' + escapedText(text) + '"';
    std::size_t cut = maxShown;
    while (cut > 0 && isContinuation(static_cast<unsigned char>(text[cut]))) --cut;
    return '"' + escapedText(text.substr(0, cut)) + "...\"";
}

std::string shortEscapedText(std::string_view text, std::size_t maxColumns) {
    const std::string shown = escapedText(text);
    const auto isLead = [](char c) { return !isContinuation(static_cast<unsigned char>(c)); };
    if (static_cast<std::size_t>(std::count_if(shown.begin(), shown.end(), isLead)) <= maxColumns)
        return shown;
    std::size_t cut = 0;
    for (std::size_t columns = 0; cut < shown.size(); ++cut)
        if (isLead(shown[cut]) && ++columns > maxColumns - 3) break;
    return shown.substr(0, cut) + "...";
}

std::string withJsonControlEscapes(std::string_view json) {
    // The JSON writer's output is UTF-8, where 0xC2 and 0xE2 only ever lead a sequence.
    if (json.find_first_of("\x7F\xC2\xE2") == std::string_view::npos) return std::string(json);
    std::string shown;
    shown.reserve(json.size());
    while (!json.empty()) {
        const auto byte = static_cast<unsigned char>(json.front());
        const auto next = json.size() > 1 ? static_cast<unsigned char>(json[1]) : 0u;
        if (byte == 0x7F) {
            appendHexEscape(shown, byte);
            json.remove_prefix(1);
        } else if (byte == 0xC2 && next >= 0x80 && next < 0xA0) {
            appendHexEscape(shown, next);
            json.remove_prefix(2);
        } else if (isBidiControl(json.substr(0, 3))) {
            appendCodePointEscape(shown, json.substr(0, 3));
            json.remove_prefix(3);
        } else {
            shown.push_back(json.front());
            json.remove_prefix(1);
        }
    }
    return shown;
}

std::string_view firstCharacter(std::string_view text) {
    if (text.empty()) return text;
    return text.substr(0, std::max<std::size_t>(1, sequenceLength(text)));
}

}  // namespace moravik

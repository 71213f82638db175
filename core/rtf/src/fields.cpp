#include "fields.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "text_rules.h"

namespace moravik::rtf::detail {
namespace {

struct FieldArgument {
    std::string text;
    bool quoted = false;
};

// Field instructions separate arguments by blanks; quoted arguments escape '\' and '"'.
std::vector<FieldArgument> splitFieldArguments(std::string_view instruction) {
    std::vector<FieldArgument> arguments;
    std::size_t i = 0;
    while (i < instruction.size()) {
        if (isBlank(instruction[i])) {
            ++i;
            continue;
        }
        FieldArgument argument;
        if (instruction[i] == '"') {
            argument.quoted = true;
            for (++i; i < instruction.size() && instruction[i] != '"'; ++i) {
                if (instruction[i] == '\\' && i + 1 < instruction.size()) ++i;
                argument.text += instruction[i];
            }
            ++i;
        } else {
            for (; i < instruction.size() && !isBlank(instruction[i]); ++i) {
                argument.text += instruction[i];
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

// The name of a switch such as \f or \s, without its backslash; nothing for other arguments.
std::optional<std::string_view> switchName(const FieldArgument& argument) {
    if (argument.quoted || !argument.text.starts_with('\\')) return std::nullopt;
    return std::string_view(argument.text).substr(1);
}

std::optional<std::uint32_t> characterCode(std::string_view text) {
    int base = 10;
    if (startsWithIgnoringCase(text, "0x")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t code = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return code;
}

}  // namespace

std::string hyperlinkTarget(std::string_view instruction) {
    const std::vector<FieldArgument> arguments = splitFieldArguments(instruction);
    if (arguments.empty() || arguments[0].quoted ||
        !equalsIgnoringCase(arguments[0].text, "hyperlink")) {
        return {};
    }
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (const auto name = switchName(arguments[i])) {
            if (name == "l" || name == "o" || name == "t") ++i;  // these switches take a value
            continue;
        }
        const std::string& url = arguments[i].text;
        const bool webOrMail = startsWithIgnoringCase(url, "http://") ||
                               startsWithIgnoringCase(url, "https://") ||
                               startsWithIgnoringCase(url, "mailto:");
        const bool clean = std::ranges::none_of(
            url, [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; });
        return webOrMail && clean ? url : std::string();
    }
    return {};
}

std::optional<SymbolField> symbolField(std::string_view instruction) {
    const std::vector<FieldArgument> arguments = splitFieldArguments(instruction);
    if (arguments.size() < 2 || arguments[0].quoted ||
        !equalsIgnoringCase(arguments[0].text, "symbol")) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> code = characterCode(arguments[1].text);
    if (!code) return std::nullopt;
    SymbolField field{.code = *code, .font = {}, .unicode = false};
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        const auto name = switchName(arguments[i]);
        if (name == "u") field.unicode = true;
        if ((name == "f" || name == "s") && i + 1 < arguments.size()) {
            if (name == "f") field.font = arguments[i + 1].text;
            ++i;
        }
    }
    return field;
}

}  // namespace moravik::rtf::detail

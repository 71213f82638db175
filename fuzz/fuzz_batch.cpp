// Feeds arbitrary bytes to moravik-calc --batch's line handling and checks that
// every non-blank input line gets exactly one well-formed JSON line back.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "moravik/cli/batch.h"

namespace {

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

std::size_t nonBlankLines(std::string_view text) {
    std::size_t count = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (!isBlank(text.substr(0, end))) ++count;
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return count;
}

// Valid UTF-8 without raw control characters, as a JSON line must be.
bool isCleanUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead < 0x20 || (lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

bool isWellFormedOutput(std::string_view line) {
    const bool knownShape = line.starts_with(R"({"fields":{")") ||
                            line.starts_with(R"({"fault":")") ||
                            line.starts_with(R"({"error":"line )");
    return knownShape && line.ends_with("}") && isCleanUtf8(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    if (const auto single = moravik::cli::batchLine(input, 1)) {
        if (!isWellFormedOutput(single->json)) __builtin_trap();
    }

    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const auto status = moravik::cli::runBatch({in, "standard input"}, out, err);
    std::size_t outputLines = 0;
    bool sawError = false;
    std::istringstream written(out.str());
    for (std::string line; std::getline(written, line); ++outputLines) {
        if (!isWellFormedOutput(line)) __builtin_trap();
        sawError = sawError || line.starts_with(R"({"error")");
    }
    const bool unusable = status == moravik::cli::ExitStatus::UsageError;
    if (outputLines != nonBlankLines(input) || unusable != sawError || !err.str().empty())
        __builtin_trap();
    return 0;
}

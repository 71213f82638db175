#include <moravik/cli/batch.h>
#include <moravik/cli/output.h>
#include <moravik/tracks.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>

#include "decimal_text.h"

namespace moravik::cli {
namespace {

using Json = nlohmann::json;

// A key quoted for an error message, cut short at a character boundary so that a
// huge key does not flood the output.
std::string quotedKey(std::string_view key) {
    constexpr std::size_t maxShown = 40;
    if (key.size() <= maxShown) return '"' + std::string(key) + '"';
    std::size_t cut = maxShown;
    while (cut > 0 && (static_cast<unsigned char>(key[cut]) & 0xC0) == 0x80) --cut;
    return '"' + std::string(key.substr(0, cut)) + "...\"";
}

// Reads one line event by event, straight into InputTexts. Parsing stops at the
// first event that cannot belong to a flat object of strings, so neither deep
// nesting nor huge arrays cost memory.
class LineReader final : public nlohmann::json_sax<Json> {
public:
    InputTexts inputs;
    std::string problem;

    bool null() override { return rejectValue("null"); }
    bool boolean(bool) override { return rejectValue("a boolean"); }
    bool number_integer(number_integer_t) override { return rejectValue("a number"); }
    bool number_unsigned(number_unsigned_t) override { return rejectValue("a number"); }
    bool number_float(number_float_t, const string_t&) override { return rejectValue("a number"); }
    bool binary(binary_t&) override { return rejectValue("binary data"); }
    bool start_array(std::size_t) override { return rejectValue("an array"); }
    bool end_array() override { return false; }

    bool string(string_t& value) override {
        if (target_ == nullptr) return rejectValue("a string");
        *target_ = std::move(value);
        target_ = nullptr;
        return true;
    }

    bool start_object(std::size_t) override {
        if (insideObject_) return rejectValue("an object");
        insideObject_ = true;
        return true;
    }

    bool key(string_t& name) override {
        key_ = name;
        for (std::size_t i = 0; i < inputFields.size(); ++i) {
            if (inputFields[i].name != name) continue;
            if (seen_[i]) return fail("duplicate key " + quotedKey(name));
            seen_[i] = true;
            target_ = &(inputs.*inputFields[i].text);
            return true;
        }
        return fail("unknown key " + quotedKey(name) +
                    " (known: njt, flp, nbp, jtn, draghp, vweight, altitudeDD)");
    }

    bool end_object() override { return true; }

    bool parse_error(std::size_t position, const std::string&, const Json::exception&) override {
        return fail("not valid JSON (at byte " + decimalText(position) + ")");
    }

private:
    bool fail(std::string reason) {
        problem = std::move(reason);
        return false;
    }

    bool rejectValue(std::string_view found) {
        if (!insideObject_) return fail("expected a JSON object, found " + std::string(found));
        return fail("the value of " + quotedKey(key_) + " must be a string, found " +
                    std::string(found));
    }

    bool insideObject_ = false;
    std::string key_;
    std::string* target_ = nullptr;
    std::bitset<inputFields.size()> seen_;
};

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

BatchLineOutput errorOutput(std::size_t lineNumber, std::string_view reason) {
    nlohmann::ordered_json json;
    json["error"] = "line " + decimalText(lineNumber) + ": " + std::string(reason);
    return {json.dump(-1, ' ', false, Json::error_handler_t::replace), false};
}

}  // namespace

std::optional<BatchLineOutput> batchLine(std::string_view line, std::size_t lineNumber) {
    if (isBlank(line)) return std::nullopt;
    // The JSON reader takes a NUL byte for the end of its input and would
    // silently drop whatever follows it.
    if (line.find('\0') != std::string_view::npos)
        return errorOutput(lineNumber, "contains a NUL byte");
    LineReader reader;
    if (!Json::sax_parse(line, &reader)) return errorOutput(lineNumber, reader.problem);
    if (!isTrackChoice(reader.inputs.altitudeDD))
        return errorOutput(lineNumber,
                           "the value of \"altitudeDD\" is not an entry of the track "
                           "list (see moravik-calc --tracks)");
    return BatchLineOutput{outcomeJson(calculate(reader.inputs)), true};
}

bool runBatch(std::istream& in, std::ostream& out) {
    constexpr std::size_t flushThreshold = 1 << 16;
    bool allValid = true;
    std::string line;
    std::string pending;
    for (std::size_t lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (auto output = batchLine(line, lineNumber)) {
            allValid = allValid && output->valid;
            pending.append(output->json).push_back('\n');
        }
        // Write out before a read that may wait, so an interactive caller sees
        // each answer as soon as its line is done.
        if (pending.size() >= flushThreshold || in.rdbuf()->in_avail() <= 0) {
            out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
            out.flush();
            pending.clear();
        }
    }
    out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
    out.flush();
    return allValid;
}

}  // namespace moravik::cli

#include "moravik/cli/batch.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <new>
#include <nlohmann/json.hpp>
#include <ostream>

#include "line_reader.h"
#include "moravik/cli/output.h"
#include "moravik/raceday_json/answers.h"
#include "moravik/raceday_json/decimal_text.h"
#include "moravik/raceday_json/shown_text.h"
#include "moravik/tracks.h"
#include "system_streams.h"

namespace moravik::cli {
namespace {

using Json = nlohmann::json;

// Stands for nbp: the bottle pressure the vapour-pressure curve gives.
constexpr std::string_view bottleTemperatureKey = "bottle_temperature";

std::string knownKeys() {
    std::string keys;
    for (const auto& field : inputFields) keys.append(keys.empty() ? "" : ", ").append(field.name);
    return keys.append(", ").append(bottleTemperatureKey);
}

// Reads one line event by event, straight into InputTexts. Parsing stops at the
// first event that cannot belong to a flat object of strings, so neither deep
// nesting nor huge arrays cost memory.
class LineParser final : public nlohmann::json_sax<Json> {
public:
    InputTexts inputs;
    std::optional<std::string> bottleTemperature;
    bool nbpGiven = false;
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
        if (name == bottleTemperatureKey) {
            if (bottleTemperature) return fail("duplicate key " + quotedText(name));
            target_ = &bottleTemperature.emplace();
            return true;
        }
        for (std::size_t i = 0; i < inputFields.size(); ++i) {
            if (inputFields[i].name != name) continue;
            if (seen_[i]) return fail("duplicate key " + quotedText(name));
            seen_[i] = true;
            nbpGiven = nbpGiven || &(inputs.*inputFields[i].text) == &inputs.nbp;
            target_ = &(inputs.*inputFields[i].text);
            return true;
        }
        return fail("unknown key " + quotedText(name) + " (known: " + knownKeys() + ")");
    }

    bool end_object() override { return true; }

    bool parse_error(std::size_t position, const std::string&,
                     const Json::exception& error) override {
        // A number beyond the range of doubles is still a number where a string belongs.
        constexpr int numberOverflow = 406;
        if (error.id == numberOverflow && target_ != nullptr) return rejectValue("a number");
        return fail("not valid JSON (at byte " + decimalText(position) + ")");
    }

private:
    bool fail(std::string reason) {
        problem = std::move(reason);
        return false;
    }

    bool rejectValue(std::string_view found) {
        if (!insideObject_) return fail("expected a JSON object, found " + std::string(found));
        return fail("the value of " + quotedText(key_) + " must be a string, found " +
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

std::string tooLongReason() {
    return "longer than " + decimalText(maxBatchLineLength) + " bytes, the limit of a line";
}

BatchLineOutput errorOutput(std::size_t lineNumber, std::string_view reason) {
    nlohmann::ordered_json json;
    json["error"] = "line " + decimalText(lineNumber) + ": " + std::string(reason);
    return {json.dump(-1, ' ', false, Json::error_handler_t::replace), ExitStatus::UsageError};
}

}  // namespace

std::optional<BatchLineOutput> batchLine(std::string_view line, std::size_t lineNumber) {
    if (isBlank(line)) return std::nullopt;
    // The JSON reader takes a NUL byte for the end of its input and would
    // silently drop whatever follows it.
    if (line.find('\0') != std::string_view::npos)
        return errorOutput(lineNumber, "contains a NUL byte");
    LineParser parser;
    if (!Json::sax_parse(line, &parser)) return errorOutput(lineNumber, parser.problem);
    if (parser.bottleTemperature) {
        if (parser.nbpGiven)
            return errorOutput(lineNumber,
                               "\"nbp\" and \"bottle_temperature\" cannot be used together");
        const auto field =
            raceday::bottleFieldText(*parser.bottleTemperature, raceday::UnitSystem::Imperial,
                                     "the value of \"bottle_temperature\"");
        if (const auto* refusal = std::get_if<raceday::Refusal>(&field))
            return errorOutput(lineNumber, refusal->message);
        parser.inputs.nbp = std::get<raceday::BottleFieldText>(field).nbp;
    }
    if (!isTrackChoice(parser.inputs.altitudeDD))
        return errorOutput(lineNumber,
                           "the value of \"altitudeDD\" is not an entry of the track "
                           "list (see moravik-calc --tracks)");
    const auto outcome = calculate(parser.inputs);
    const auto status =
        std::holds_alternative<Fault>(outcome) ? ExitStatus::ArithmeticFault : ExitStatus::Success;
    return BatchLineOutput{outcomeJson(outcome), status};
}

namespace {

std::optional<BatchLineOutput> answer(const LineReader& reader, LineReader::Result result) {
    if (result == LineReader::Result::TooLong)
        return errorOutput(reader.lineNumber(), tooLongReason());
    try {
        return batchLine(reader.line(), reader.lineNumber());
    } catch (const std::bad_alloc&) {
        return errorOutput(reader.lineNumber(), "not enough memory for this line");
    }
}

}  // namespace

ExitStatus runBatch(const BatchInput& input, std::ostream& out, std::ostream& err) {
    constexpr std::size_t flushThreshold = 1 << 16;
    auto status = ExitStatus::Success;
    LineReader reader(input.stream, maxBatchLineLength);
    std::string pending;
    for (auto result = reader.next(); result != LineReader::Result::End; result = reader.next()) {
        if (result == LineReader::Result::ReadError) {
            out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
            return reportFailure(err, "read", input.name, reader.readError());
        }
        const auto output = answer(reader, result);
        if (output) {
            status = worse(status, output->status);
            pending.append(output->json).push_back('\n');
        }
        // Write out before a read that may wait, so an interactive caller sees
        // each answer as soon as its line is done.
        if (pending.size() >= flushThreshold || reader.mayWait()) {
            out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
            pending.clear();
            if (!out.flush()) return ExitStatus::InputOutputError;
        }
    }
    out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
    return status;
}

}  // namespace moravik::cli

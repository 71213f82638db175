#include "moravik/cli/batch.h"

#include <sched.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <deque>
#include <future>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <ostream>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "line_reader.h"
#include "moravik/cli/output.h"
#include "moravik/answers/answers.h"
#include "moravik/answers/decimal_text.h"
#include "moravik/answers/shown_text.h"
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
            return errorOutput(lineNumber, refusal->message());
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

std::optional<BatchLineOutput> answer(std::string_view line, std::size_t lineNumber, bool tooLong) {
    if (tooLong) return errorOutput(lineNumber, tooLongReason());
    try {
        return batchLine(line, lineNumber);
    } catch (const std::bad_alloc&) {
        return errorOutput(lineNumber, "not enough memory for this line");
    }
}

// Consecutive lines answered together, on a worker thread when there is more
// than one processor: their bytes, then their output lines.
struct Chunk {
    struct Line {
        std::size_t begin;
        std::size_t size;
        std::size_t number;
        bool tooLong;
    };
    std::string text;
    std::vector<Line> lines;
    std::string output;
    ExitStatus status = ExitStatus::Success;

    // Big enough that handing a chunk to a thread costs little beside its
    // lines; a line at the 1 MiB cap makes a chunk of its own.
    static constexpr std::size_t fullSize = std::size_t{1} << 15;

    void add(const LineReader& reader, LineReader::Result result) {
        const bool tooLong = result == LineReader::Result::TooLong;
        const std::string_view line = tooLong ? std::string_view{} : reader.line();
        lines.push_back({text.size(), line.size(), reader.lineNumber(), tooLong});
        text.append(line);
    }

    bool full() const { return text.size() >= fullSize || lines.size() >= fullSize / 16; }

    void answerAll() {
        for (const auto& line : lines) {
            const auto answered = answer(std::string_view(text).substr(line.begin, line.size),
                                         line.number, line.tooLong);
            if (!answered) continue;
            status = worse(status, answered->status);
            output.append(answered->json).push_back('\n');
        }
    }

    // Emptied for the next lines, keeping the memory of a chunk of ordinary
    // lines (their output is about nine times their size): giving it back and
    // taking it again cost more system time than the lines' reads and writes.
    void reuse() {
        for (std::string* buffer : {&text, &output}) {
            if (buffer->capacity() > 32 * fullSize) std::string().swap(*buffer);
            buffer->clear();
        }
        lines.clear();
        status = ExitStatus::Success;
    }
};

// Processors this process may run on (taskset and container limits count).
unsigned usableProcessors() {
#ifdef __linux__
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof(set), &set) == 0) return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    return std::max(1U, std::thread::hardware_concurrency());
}

// Chunks in input order, each answered on a thread of its own when there are
// processors to spare, at most a few at a time so memory stays bounded.
class ChunkQueue {
public:
    ChunkQueue() : threads_(std::min(usableProcessors(), 8U)) {}

    // False when a write failed. A chunk that is to be written at once, with
    // none before it, is answered here: a thread would only add its start.
    bool push(std::unique_ptr<Chunk> chunk, bool writeNow, std::ostream& out, ExitStatus& status) {
        if (threads_ == 1 || (writeNow && inFlight_.empty())) {
            chunk->answerAll();
            return write(std::move(chunk), out, status);
        }
        Chunk& work = *chunk;
        std::future<void> done;
        try {
            done = std::async(std::launch::async, [&work] { work.answerAll(); });
        } catch (const std::system_error&) {  // no thread to spare: answer it here
            work.answerAll();
            done = readyFuture();
        }
        inFlight_.push_back({std::move(chunk), std::move(done)});
        while (inFlight_.size() >= 2 * threads_) {
            if (!writeFront(out, status)) return false;
        }
        return true;
    }

    // An empty chunk, one written earlier where there is one.
    std::unique_ptr<Chunk> fresh() {
        if (spare_.empty()) return std::make_unique<Chunk>();
        std::unique_ptr<Chunk> chunk = std::move(spare_.back());
        spare_.pop_back();
        return chunk;
    }

    // Writes every chunk still on its way; false when a write failed.
    bool drain(std::ostream& out, ExitStatus& status) {
        while (!inFlight_.empty()) {
            if (!writeFront(out, status)) return false;
        }
        return true;
    }

private:
    struct Pending {
        std::unique_ptr<Chunk> chunk;
        std::future<void> done;
    };

    static std::future<void> readyFuture() {
        std::promise<void> ready;
        ready.set_value();
        return ready.get_future();
    }

    bool writeFront(std::ostream& out, ExitStatus& status) {
        inFlight_.front().done.get();
        std::unique_ptr<Chunk> chunk = std::move(inFlight_.front().chunk);
        inFlight_.pop_front();
        return write(std::move(chunk), out, status);
    }

    bool write(std::unique_ptr<Chunk> chunk, std::ostream& out, ExitStatus& status) {
        status = worse(status, chunk->status);
        out.write(chunk->output.data(), static_cast<std::streamsize>(chunk->output.size()));
        chunk->reuse();
        spare_.push_back(std::move(chunk));
        return static_cast<bool>(out.flush());
    }

    unsigned threads_;
    std::deque<Pending> inFlight_;
    std::vector<std::unique_ptr<Chunk>> spare_;
};

}  // namespace

ExitStatus runBatch(const BatchInput& input, std::ostream& out, std::ostream& err) {
    auto status = ExitStatus::Success;
    LineReader reader(input.stream, maxBatchLineLength);
    // Declared after everything its threads read, so they are joined first.
    ChunkQueue queue;
    auto chunk = queue.fresh();
    for (auto result = reader.next(); result != LineReader::Result::End; result = reader.next()) {
        if (result == LineReader::Result::ReadError) {
            if (queue.push(std::move(chunk), true, out, status)) queue.drain(out, status);
            return reportFailure(err, "read", input.name, reader.readError());
        }
        chunk->add(reader, result);
        // Everything is written before a read that may wait, so an interactive
        // caller sees each answer as soon as its line is done.
        const bool mayWait = reader.mayWait();
        if (chunk->full() || mayWait) {
            if (!queue.push(std::exchange(chunk, queue.fresh()), mayWait, out, status))
                return ExitStatus::InputOutputError;
            if (mayWait && !queue.drain(out, status)) return ExitStatus::InputOutputError;
        }
    }
    if (!queue.push(std::move(chunk), true, out, status) || !queue.drain(out, status))
        return ExitStatus::InputOutputError;
    return status;
}

}  // namespace moravik::cli

#include "line_reader.h"

#include <algorithm>
#include <cstring>

#include "system_streams.h"

namespace moravik::cli {
namespace {

constexpr std::size_t chunkSize = 1 << 16;

}  // namespace

LineReader::LineReader(std::istream& in, std::size_t maxLineLength)
    : source_(in.rdbuf()), maxLineLength_(maxLineLength), chunk_(chunkSize) {}

LineReader::Result LineReader::next() {
    line_.clear();
    bool tooLong = false;
    for (;;) {
        if (chunkBegin_ == chunkEnd_ && !refill()) {
            if (failed_) return Result::ReadError;
            if (line_.empty() && !tooLong) return Result::End;
            ++lineNumber_;  // the last line has no line break
            return tooLong ? Result::TooLong : Result::Line;
        }
        const char* begin = chunk_.data() + chunkBegin_;
        const std::size_t available = chunkEnd_ - chunkBegin_;
        const auto* lineBreak = static_cast<const char*>(std::memchr(begin, '\n', available));
        const std::size_t taken = lineBreak == nullptr ? available : lineBreak - begin;
        // A line beyond the cap is skipped as it streams past, never held.
        if (!tooLong && line_.size() + taken > maxLineLength_) {
            tooLong = true;
            std::string().swap(line_);
        }
        if (!tooLong) line_.append(begin, taken);
        chunkBegin_ += taken;
        if (lineBreak != nullptr) {
            ++chunkBegin_;
            ++lineNumber_;
            return tooLong ? Result::TooLong : Result::Line;
        }
    }
}

std::string LineReader::readError() const { return failureReason(source_); }

bool LineReader::mayWait() const {
    const char* begin = chunk_.data() + chunkBegin_;
    return std::memchr(begin, '\n', chunkEnd_ - chunkBegin_) == nullptr && source_->in_avail() <= 0;
}

bool LineReader::refill() {
    chunkBegin_ = chunkEnd_ = 0;
    std::streamsize available = source_->in_avail();
    if (available <= 0) {
        // Waits for input, as little as a line.
        if (std::istream::traits_type::eq_int_type(source_->sgetc(),
                                                   std::istream::traits_type::eof())) {
            failed_ = !failureReason(source_).empty();
            return false;
        }
        available = source_->in_avail();
    }
    const auto wanted =
        std::clamp(available, std::streamsize{1}, static_cast<std::streamsize>(chunk_.size()));
    chunkEnd_ = static_cast<std::size_t>(source_->sgetn(chunk_.data(), wanted));
    return chunkEnd_ > 0;
}

}  // namespace moravik::cli

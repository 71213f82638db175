// Lines of an input stream, each held in memory only up to a size cap.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace moravik::cli {

class LineReader {
public:
    enum class Result {
        Line,       // line() holds the next line, without its line break
        TooLong,    // the next line was longer than the cap and has been skipped
        End,        // no more input
        ReadError,  // reading failed; readError() says why
    };

    LineReader(std::istream& in, std::size_t maxLineLength);

    Result next();
    std::string_view line() const { return line_; }
    // The number of the line that next() gave last, counted from 1.
    std::size_t lineNumber() const { return lineNumber_; }
    std::string readError() const;

    // True when the next line is not in memory yet, so reading it may wait
    // for whoever writes the input.
    bool mayWait() const;

private:
    bool refill();

    std::streambuf* source_;
    std::size_t maxLineLength_;
    std::vector<char> chunk_;
    std::size_t chunkBegin_ = 0;
    std::size_t chunkEnd_ = 0;
    std::string line_;
    std::size_t lineNumber_ = 0;
    bool failed_ = false;
};

}  // namespace moravik::cli

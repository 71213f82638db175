// Streams over POSIX file descriptors that keep the reason of a failure.
//
// The standard library's streams take a failed read for the end of the input
// and forget why a write failed. These buffers keep the system's error, so
// moravik-calc can tell a full disk, a closed pipe or a directory given as
// input from success, and say which it was.
#pragma once

#include <iosfwd>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "moravik/cli/exit_status.h"

namespace moravik::cli {

class FileDescriptorBuffer final : public std::streambuf {
public:
    enum class Direction { Read, Write };

    // Uses fd without closing it.
    FileDescriptorBuffer(int fd, Direction direction);
    // Opens path for reading; error() tells whether that worked. Closes it.
    explicit FileDescriptorBuffer(const std::string& path);
    ~FileDescriptorBuffer() override;
    FileDescriptorBuffer(const FileDescriptorBuffer&) = delete;
    FileDescriptorBuffer& operator=(const FileDescriptorBuffer&) = delete;

    // The first error of the system; after one, every read or write fails.
    std::error_code error() const { return error_; }

protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool writePending();

    int fd_;
    bool owned_ = false;
    std::error_code error_;
    std::vector<char> buffer_;
};

// Standard error: each line goes out in one write(), so that the messages of
// runs sharing a terminal or a log file never mix within a line.
class LineBuffer final : public std::streambuf {
public:
    explicit LineBuffer(int fd) : fd_(fd) {}
    ~LineBuffer() override;
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    int fd_;
    std::string line_;
};

// Puts /dev/null on a closed standard descriptor, opened the other way round
// so that reading or writing it still fails as on a closed one, and a file
// opened later cannot take its number.
void holdClosedStandardDescriptors();

// Why the stream behind buffer failed, in the system's words; empty when it
// did not fail or keeps no reason.
std::string failureReason(const std::streambuf* buffer);

// Says on err that moravik-calc cannot `verb` (read, write) `what` and why;
// gives InputOutputError.
ExitStatus reportFailure(std::ostream& err, std::string_view verb, std::string_view what,
                         std::string_view reason);

}  // namespace moravik::cli

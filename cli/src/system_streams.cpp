#include "system_streams.h"

#include <fcntl.h>
#include <moravik/cli/app.h>
#include <unistd.h>

#include <cerrno>
#include <ostream>

namespace moravik::cli {
namespace {

constexpr std::size_t bufferSize = 1 << 16;

std::error_code lastSystemError() { return {errno, std::generic_category()}; }

}  // namespace

FileDescriptorBuffer::FileDescriptorBuffer(int fd, Direction direction)
    : fd_(fd), buffer_(bufferSize) {
    if (direction == Direction::Write) setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FileDescriptorBuffer::FileDescriptorBuffer(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), owned_(fd_ >= 0), buffer_(bufferSize) {
    if (fd_ < 0) error_ = lastSystemError();
}

FileDescriptorBuffer::~FileDescriptorBuffer() {
    if (pbase() != nullptr) writePending();
    if (owned_) ::close(fd_);
}

FileDescriptorBuffer::int_type FileDescriptorBuffer::underflow() {
    if (error_) return traits_type::eof();
    ssize_t count = 0;
    do {
        count = ::read(fd_, buffer_.data(), buffer_.size());
    } while (count < 0 && errno == EINTR);
    if (count < 0) error_ = lastSystemError();
    if (count <= 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
    return traits_type::to_int_type(buffer_.front());
}

FileDescriptorBuffer::int_type FileDescriptorBuffer::overflow(int_type c) {
    if (!writePending()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int FileDescriptorBuffer::sync() { return writePending() ? 0 : -1; }

bool FileDescriptorBuffer::writePending() {
    const char* next = pbase();
    while (!error_ && next < pptr()) {
        const ssize_t written = ::write(fd_, next, static_cast<std::size_t>(pptr() - next));
        if (written >= 0) {
            next += written;
        } else if (errno != EINTR) {
            error_ = lastSystemError();
        }
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return !error_;
}

std::string failureReason(const std::streambuf* buffer) {
    const auto* systemBuffer = dynamic_cast<const FileDescriptorBuffer*>(buffer);
    return systemBuffer == nullptr || !systemBuffer->error() ? std::string()
                                                             : systemBuffer->error().message();
}

ExitStatus reportFailure(std::ostream& err, std::string_view verb, std::string_view what,
                         std::string_view reason) {
    err << programName << ": cannot " << verb << ' ' << what;
    if (!reason.empty()) err << ": " << reason;
    err << '\n';
    return ExitStatus::InputOutputError;
}

}  // namespace moravik::cli

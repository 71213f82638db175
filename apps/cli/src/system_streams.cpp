#include "system_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ostream>

#include "moravik/cli/app.h"

namespace moravik::cli {
namespace {

constexpr std::size_t bufferSize = 1 << 16;

std::error_code lastSystemError() { return {errno, std::generic_category()}; }

std::error_code writeAll(int fd, const char* next, const char* end) {
    while (next < end) {
        const ssize_t written = ::write(fd, next, static_cast<std::size_t>(end - next));
        if (written >= 0) {
            next += written;
        } else if (errno != EINTR) {
            return lastSystemError();
        }
    }
    return {};
}

}  // namespace

LineBuffer::~LineBuffer() { sync(); }

LineBuffer::int_type LineBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    line_.push_back(traits_type::to_char_type(c));
    if (line_.back() == '\n') sync();
    return c;
}

int LineBuffer::sync() {
    const auto error = writeAll(fd_, line_.data(), line_.data() + line_.size());
    line_.clear();
    return error ? -1 : 0;
}

void holdClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open takes the lowest free number, which is fd.
        const int held = ::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY));
        if (held != fd && held >= 0) ::close(held);
    }
}

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
    if (!error_) error_ = writeAll(fd_, pbase(), pptr());
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

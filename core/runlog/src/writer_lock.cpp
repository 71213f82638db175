#include "writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "sql_support.h"

namespace moravik::runlog::detail {
namespace {

constexpr std::chrono::milliseconds retryInterval{20};

// "moravik-raceday (process 1234)", as the holder wrote it into the file.
std::string holderOf(int descriptor) {
    char text[256];
    const ssize_t length = ::pread(descriptor, text, sizeof text, 0);
    if (length <= 0) return {};
    return trimmedText({text, static_cast<std::size_t>(length)});
}

void writeHolder(int descriptor) {
    // The program's name as it was started, as the process list shows it.
    const std::string program =
        program_invocation_short_name != nullptr ? program_invocation_short_name : "a program";
    const std::string text = program + " (process " + numberText(::getpid()) + ')';
    // The lock is what counts; a holder that cannot be named is only named less well.
    if (::ftruncate(descriptor, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(descriptor, text.data(), text.size(), 0);
    }
}

}  // namespace

std::variant<std::unique_ptr<WriterLock>, WriterLock::Refusal> WriterLock::acquire(
    const std::string& lockPath, std::chrono::milliseconds wait) {
    const int descriptor = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) return Refusal{Failure::NotWritable, {}};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            Refusal refusal{Failure::HeldElsewhere, holderOf(descriptor)};
            ::close(descriptor);
            return refusal;
        }
        std::this_thread::sleep_for(retryInterval);
    }
    writeHolder(descriptor);
    return std::unique_ptr<WriterLock>(new WriterLock(descriptor));
}

WriterLock::~WriterLock() { ::close(descriptor_); }

}  // namespace moravik::runlog::detail

// One writing program per log: an flock(2) on a lock file beside it. The
// kernel drops the lock when its holder ends, however it ends, so a killed
// program never leaves the log locked. The file itself stays: removing it
// would let two programs lock two different files of the same name.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <variant>

namespace moravik::runlog::detail {

class WriterLock {
public:
    enum class Failure { HeldElsewhere, NotWritable };

    struct Refusal {
        Failure failure;
        std::string holder;  // "moravik-raceday (process 1234)" when known
    };

    // Waits up to `wait` for the lock on `lockPath`.
    static std::variant<std::unique_ptr<WriterLock>, Refusal> acquire(
        const std::string& lockPath, std::chrono::milliseconds wait);

    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

private:
    explicit WriterLock(int descriptor) : descriptor_(descriptor) {}
    int descriptor_;
};

}  // namespace moravik::runlog::detail

#include "writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>

namespace moravik::runlog::detail {
namespace {

constexpr std::chrono::milliseconds retryInterval{20};

// "moravik-raceday (process 1234)", as the holder wrote it into the file.
QString holderOf(int descriptor) {
    char text[256];
    const ssize_t length = ::pread(descriptor, text, sizeof text, 0);
    if (length <= 0) return {};
    return QString::fromUtf8(text, length).trimmed();
}

void writeHolder(int descriptor) {
    const QString program = QCoreApplication::instance() != nullptr
                                ? QCoreApplication::applicationName()
                                : QStringLiteral("a program");
    const QByteArray text =
        (program + QStringLiteral(" (process ") + QString::number(::getpid()) + QLatin1Char(')'))
            .toUtf8();
    // The lock is what counts; a holder that cannot be named is only named less well.
    if (::ftruncate(descriptor, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(descriptor, text.data(), text.size(), 0);
    }
}

}  // namespace

std::variant<std::unique_ptr<WriterLock>, WriterLock::Refusal> WriterLock::acquire(
    const QString& lockPath, std::chrono::milliseconds wait) {
    const int descriptor =
        ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) return Refusal{Failure::NotWritable, {}};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            Refusal refusal{Failure::HeldElsewhere, holderOf(descriptor)};
            ::close(descriptor);
            return refusal;
        }
        QThread::msleep(static_cast<unsigned long>(retryInterval.count()));
    }
    writeHolder(descriptor);
    return std::unique_ptr<WriterLock>(new WriterLock(descriptor));
}

WriterLock::~WriterLock() { ::close(descriptor_); }

}  // namespace moravik::runlog::detail

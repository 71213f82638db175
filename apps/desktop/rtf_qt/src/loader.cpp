#include "moravik/rtf/loader.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <QThread>
#include <QtConcurrent>
#include <string_view>

#include "moravik/rtf/parser.h"

namespace moravik::rtf {
namespace {

const QString kCancelled = QStringLiteral("the loading was cancelled");

std::variant<QByteArray, LoadFailure> readFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return LoadFailure{QStringLiteral("the file does not exist")};
    // Folders, devices and pipes are no documents, and a device may never end.
    const LoadFailure unreadable{QStringLiteral("the file cannot be read")};
    if (!info.isFile()) return unreadable;
    const LoadFailure tooLarge{
        QStringLiteral("the file is larger than %1 MB").arg(kMaxFileBytes / (1024 * 1024))};
    if (info.size() > kMaxFileBytes) return tooLarge;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return unreadable;
    // One byte past the cap tells a file that grew after the check, without reading it all.
    QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) return unreadable;
    if (bytes.size() > kMaxFileBytes) return tooLarge;
    return bytes;
}

}  // namespace

LoadResult loadDocument(const QString& path, std::stop_token stop) {
    std::variant<QByteArray, LoadFailure> bytes = readFile(path);
    if (auto* failure = std::get_if<LoadFailure>(&bytes)) return std::move(*failure);
    if (stop.stop_requested()) return LoadFailure{kCancelled};
    const QByteArray& data = std::get<QByteArray>(bytes);
    ParseResult parsed =
        parse(std::string_view(data.constData(), static_cast<std::size_t>(data.size())), stop);
    bytes = LoadFailure{};  // the file's bytes are not needed past this point
    if (!parsed.ok()) return LoadFailure{QString::fromStdString(parsed.error)};
    auto document = std::make_unique<QTextDocument>();
    if (!buildDocument(parsed.document, *document, stop)) return LoadFailure{kCancelled};
    return document;
}

DocumentLoader::DocumentLoader(QObject* parent) : QObject(parent) {}

DocumentLoader::~DocumentLoader() { cancel(); }

void DocumentLoader::start(const QString& path) {
    cancel();
    result_.reset();
    Running& running = running_.emplace();
    running.watcher = std::make_unique<QFutureWatcher<LoadResult>>();
    connect(running.watcher.get(), &QFutureWatcherBase::finished, this, [this] {
        result_ = running_->watcher->future().takeResult();
        running_.reset();
        emit finished();
    });
    // The worker hands the document over with no thread; takeResult() pulls it into this one.
    running.watcher->setFuture(QtConcurrent::run([path, stop = running.stop.get_token()] {
        LoadResult result = loadDocument(path, stop);
        if (auto* document = std::get_if<std::unique_ptr<QTextDocument>>(&result)) {
            (*document)->moveToThread(nullptr);
        }
        return result;
    }));
}

// A cancelled load runs on to its next look at the stop request, and its result is dropped.
void DocumentLoader::cancel() {
    if (!running_) return;
    running_->stop.request_stop();
    running_->watcher->disconnect(this);
    running_.reset();
}

LoadResult DocumentLoader::takeResult() {
    LoadResult result = result_ ? std::move(*result_) : LoadFailure{kCancelled};
    result_.reset();
    if (auto* document = std::get_if<std::unique_ptr<QTextDocument>>(&result)) {
        (*document)->moveToThread(thread());
    }
    return result;
}

}  // namespace moravik::rtf

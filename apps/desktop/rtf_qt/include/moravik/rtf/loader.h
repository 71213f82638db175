#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <memory>
#include <stop_token>
#include <variant>

#include "moravik/rtf/qt_document.h"

class QTextDocument;

namespace moravik::rtf {

// Larger files are refused before they are read.
inline constexpr qint64 kMaxFileBytes = qint64{64} * 1024 * 1024;

// Why a file cannot be shown, in plain words: "the file does not exist", "the file cannot be
// read", "the file is not a Rich Text Format document", "the file is larger than 64 MB"...
struct LoadFailure {
    QString reason;
};

// A loaded document, or why there is none.
using LoadResult = std::variant<std::unique_ptr<QTextDocument>, LoadFailure>;

// Reads the Rich Text Format file at path and builds a QTextDocument of it, on the calling
// thread. The document has no parent.
LoadResult loadDocument(const QString& path, std::stop_token stop = {});

// Loads documents on a worker thread, so that the windows stay responsive while a large file
// is read and built. One load runs at a time: starting another cancels it.
class DocumentLoader final : public QObject {
    Q_OBJECT
public:
    explicit DocumentLoader(QObject* parent = nullptr);
    ~DocumentLoader() override;

    // finished() follows, unless the load is cancelled first.
    void start(const QString& path);
    void cancel();
    bool isLoading() const { return running_.has_value(); }
    // The result of the load that finished, with its document in this loader's thread.
    LoadResult takeResult();

signals:
    void finished();

private:
    struct Running {
        std::stop_source stop;
        std::unique_ptr<QFutureWatcher<LoadResult>> watcher;
    };
    std::optional<Running> running_;
    std::optional<LoadResult> result_;
};

}  // namespace moravik::rtf

// The run log as the Race Day window holds it: opened once at start, with
// every fault turned into a note for the user instead of a failure, and a
// signal after each change so the table, prediction and charts follow.
#pragma once

#include <QObject>
#include <memory>

#include "moravik/runlog/run_log.h"

class QWidget;

namespace moravik::desktop {
class Messages;
}

namespace moravik::raceday_window {

class LogStore final : public QObject {
    Q_OBJECT
public:
    explicit LogStore(desktop::Messages& messages, QObject* parent = nullptr);
    ~LogStore() override;

    // Opens the log at `path`, asking through `parent` what to do with a
    // damaged one. A log that cannot be written is opened read-only where it
    // can be read at all; note() then says why.
    void open(const QString& path, QWidget* parent,
              std::chrono::milliseconds wait = runlog::OpenOptions{}.wait);

    runlog::RunLog* log() const { return log_.get(); }
    bool writable() const { return log_ != nullptr && !log_->isReadOnly(); }
    // Why the log is read-only or closed, or where a damaged one was kept.
    const QString& note() const { return note_; }

    // After a change: tells every view. A failed change is told to the user
    // through `parent`, and false returned; the log is as it was.
    bool changed(const runlog::LogStatus& status, QWidget* parent);
    void tellFailure(const runlog::LogError& error, QWidget* parent);

signals:
    void logChanged();

private:
    void openReadOnly(const QString& path, const QString& why);

    desktop::Messages& messages_;
    std::unique_ptr<runlog::RunLog> log_;
    QString note_;
};

}  // namespace moravik::raceday_window

// The run log as the Race Day window holds it: opened once at start, with
// every fault turned into a note for the user instead of a failure, and a
// signal after each change so the table, prediction and charts follow.
//
// The quick check of a log that opening leaves unchanged runs on a worker
// after the window is up; the log is read meanwhile and written once the
// check has passed. Damage found then, or met by any read later, is offered
// to be set aside as damage found at opening is.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <memory>

#include "moravik/runlog/run_log.h"

class QThread;
class QTimer;
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
    // can be read at all; note() then says why. One that another program
    // holds (an import from the command line) is tried again every
    // `retryEvery`, and becomes writable once that program lets it go.
    void open(const QString& path, QWidget* parent,
              std::chrono::milliseconds wait = runlog::OpenOptions{}.wait,
              std::chrono::milliseconds retryEvery = std::chrono::seconds(2));

    runlog::RunLog* log() const { return log_.get(); }
    bool writable() const { return log_ != nullptr && !log_->isReadOnly(); }
    // Whether the quick check put off at opening is still running.
    bool checking() const { return checkPending_; }
    // Why the log is read-only or closed, or where a damaged one was kept.
    const QString& note() const { return note_; }
    // Why nothing can be written now: note(), or the check still running.
    QString whyNotWritable() const;

    // After a change: tells every view. A failed change is told to the user
    // through `parent`, and false returned; the log is as it was.
    bool changed(const runlog::LogStatus& status, QWidget* parent);
    // While another thread uses the log (an import), it stays open as it is:
    // damage met meanwhile is offered to be set aside once it is given back.
    void lend(bool lent);
    void tellFailure(const runlog::LogError& error, QWidget* parent);

signals:
    void logChanged();
    // The log became writable or read-only; note() may say why.
    void writableChanged();
    // Another log, or none, took the place of log(): views drop what they
    // hold of the old one. Sent once the old one is closed, before the
    // window reads again.
    void logReplaced();

private:
    void openReadOnly(const QString& path, const QString& why);
    // Opens the log for writing in place of the read-only one, if it is free.
    void tryWriting();
    void take(std::unique_ptr<runlog::RunLog> log);
    void startFresh();
    void startCheck();
    void finishCheck(const runlog::LogStatus& verdict);
    void stopCheck();
    // Asks what to do with a log found damaged after it was opened.
    void offerSetAside();

    desktop::Messages& messages_;
    QPointer<QWidget> parent_;  // of the questions
    std::string path_;
    runlog::OpenOptions options_;
    std::unique_ptr<runlog::RunLog> log_;
    bool lent_ = false;
    bool damageOffered_ = false;
    QString note_;
    bool checkPending_ = false;
    std::unique_ptr<QThread> checker_;
    QTimer* retry_;
    std::atomic<bool> stopChecking_ = false;
};

}  // namespace moravik::raceday_window

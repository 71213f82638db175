#include "log_store.h"

#include <QThread>
#include <QTimer>
#include <QWidget>

#include "log_qt.h"
#include "messages.h"

namespace moravik::raceday_window {

using runlog::Problem;
using runlog::RunLog;

namespace {

// The answers to a damaged log, in the order of its question's buttons.
enum DamagedLogAnswer { SetAsideAndStartFresh, OpenReadOnly, LeaveClosed };

DamagedLogAnswer askAboutDamage(desktop::Messages& messages, QWidget* parent,
                                const QString& damage) {
    const desktop::Question question{
        QObject::tr("Run log damaged"),
        damage,
        {QObject::tr("Set it aside and start a &fresh log"), QObject::tr("Open it &read-only"),
         QObject::tr("&Leave it closed")},
        OpenReadOnly,
        LeaveClosed,
        desktop::Question::Tone::Warning};
    return static_cast<DamagedLogAnswer>(messages.ask(parent, question));
}

}  // namespace

LogStore::LogStore(desktop::Messages& messages, QObject* parent)
    : QObject(parent), messages_(messages), retry_(new QTimer(this)) {
    connect(retry_, &QTimer::timeout, this, &LogStore::tryWriting);
}

LogStore::~LogStore() { stopCheck(); }

void LogStore::open(const QString& path, QWidget* parent, std::chrono::milliseconds wait,
                    std::chrono::milliseconds retryEvery) {
    retry_->stop();
    retry_->setInterval(retryEvery);
    parent_ = parent;
    path_ = plainText(path);
    options_ = {.wait = wait, .checkLater = true};
    auto opened = RunLog::open(path_, options_);
    if (auto* log = std::get_if<std::unique_ptr<RunLog>>(&opened)) {
        take(std::move(*log));
        // Started once the window is up, so as not to hold it back.
        if (log_->awaitsCheck()) {
            checkPending_ = true;
            QTimer::singleShot(0, this, &LogStore::startCheck);
        }
        return;
    }
    const runlog::LogError error = std::get<runlog::LogError>(opened);
    switch (error.problem) {
        case Problem::Damaged:
            switch (askAboutDamage(messages_, parent, qtText(error.message))) {
                case SetAsideAndStartFresh:
                    startFresh();
                    return;
                case OpenReadOnly:
                    openReadOnly(path, qtText(error.message));
                    return;
                case LeaveClosed:
                    note_ = qtText(error.message);
                    return;
            }
            return;
        case Problem::InUse:
            openReadOnly(path, qtText(error.message));
            if (log_) {
                note_ += QLatin1Char(' ') +
                         tr("It becomes writable here as soon as the other program is done.");
                retry_->start();
            }
            return;
        case Problem::ReadOnly:
            openReadOnly(path, qtText(error.message));
            return;
        default:
            note_ = qtText(error.message);
    }
}

void LogStore::take(std::unique_ptr<RunLog> log) {
    log_ = std::move(log);
    damageOffered_ = false;
    if (!log_) return;
    // The read that met the damage is still running: ask once it is over.
    log_->onDamage([this] {
        QMetaObject::invokeMethod(this, &LogStore::offerSetAside, Qt::QueuedConnection);
    });
}

void LogStore::startFresh() {
    auto fresh = RunLog::setAsideAndStartFresh(path_, {.wait = options_.wait});
    if (auto* start = std::get_if<RunLog::FreshStart>(&fresh)) {
        take(std::move(start->log));
        note_ = tr("The damaged run log was kept unchanged as %1; a fresh log was started.")
                    .arg(qtText(start->keptAs));
    } else {
        note_ = qtText(std::get<runlog::LogError>(fresh).message);
    }
}

void LogStore::openReadOnly(const QString& path, const QString& why) {
    auto opened = RunLog::open(plainText(path), {.access = runlog::Access::ReadOnly});
    if (auto* log = std::get_if<std::unique_ptr<RunLog>>(&opened)) {
        take(std::move(*log));
        note_ = tr("%1 The log is open read-only.").arg(why);
    } else {
        note_ = why;
    }
}

void LogStore::tryWriting() {
    if (lent_ || log_ == nullptr) return;
    auto opened = RunLog::open(path_, {.wait = std::chrono::milliseconds(0), .checkLater = true});
    auto* log = std::get_if<std::unique_ptr<RunLog>>(&opened);
    if (log == nullptr) {
        // Still held: try again. Any other fault is told when the log is next written.
        if (std::get<runlog::LogError>(opened).problem != Problem::InUse) retry_->stop();
        return;
    }
    retry_->stop();
    stopCheck();
    log_.reset();
    take(std::move(*log));
    note_.clear();
    if (log_->awaitsCheck()) {
        checkPending_ = true;
        QTimer::singleShot(0, this, &LogStore::startCheck);
    }
    emit logReplaced();
    emit writableChanged();
}

QString LogStore::whyNotWritable() const {
    if (checking()) {
        return tr(
            "The run log is being checked for damage; it can be written once the check "
            "is done.");
    }
    return note_;
}

void LogStore::startCheck() {
    if (!checkPending_) return;  // stopped before it started
    RunLog* log = log_.get();
    auto verdict = std::make_shared<runlog::LogStatus>();
    checker_.reset(QThread::create([this, log, verdict] {
        *verdict = log->runPutOffCheck([this] { return !stopChecking_; });
    }));
    QThread* checker = checker_.get();
    connect(checker, &QThread::finished, this, [this, checker, verdict] {
        // A check stopped since, for a log set aside or closed, tells nothing.
        if (checker_.get() != checker) return;
        checker_->wait();
        checker_.reset();
        checkPending_ = false;
        finishCheck(*verdict);
    });
    checker_->start();
}

void LogStore::finishCheck(const runlog::LogStatus& verdict) {
    log_->finishCheck(verdict);
    // A check that could not run leaves the log read-only: say why.
    if (verdict && verdict->problem != Problem::Damaged) {
        note_ = tr("%1 The log is open read-only.").arg(qtText(verdict->message));
    }
    emit writableChanged();
}

void LogStore::stopCheck() {
    checkPending_ = false;
    if (!checker_) return;
    stopChecking_ = true;
    checker_->wait();
    checker_.reset();
    stopChecking_ = false;
}

void LogStore::lend(bool lent) {
    lent_ = lent;
    if (!lent_) QMetaObject::invokeMethod(this, &LogStore::offerSetAside, Qt::QueuedConnection);
}

void LogStore::offerSetAside() {
    if (lent_ || damageOffered_ || log_ == nullptr || !log_->damage()) return;
    damageOffered_ = true;
    stopCheck();
    const QString damage = qtText(log_->damage()->message);
    note_ = tr("%1 The log is open read-only.").arg(damage);
    emit writableChanged();
    const DamagedLogAnswer choice = askAboutDamage(messages_, parent_, damage);
    if (choice == OpenReadOnly) return;
    // Closed without folding its write-ahead file in, so the file is kept
    // as it was; nothing reads between here and logReplaced.
    log_.reset();
    if (choice == SetAsideAndStartFresh) {
        startFresh();
    } else {
        note_ = damage;
    }
    emit logReplaced();
}

bool LogStore::changed(const runlog::LogStatus& status, QWidget* parent) {
    if (status) {
        tellFailure(*status, parent);
        return false;
    }
    emit logChanged();
    return true;
}

void LogStore::tellFailure(const runlog::LogError& error, QWidget* parent) {
    messages_.error(parent, tr("Run log"), qtText(error.message));
}

}  // namespace moravik::raceday_window

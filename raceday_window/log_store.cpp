#include "log_store.h"

#include "log_qt.h"
#include "messages.h"

namespace moravik::raceday_window {

using runlog::Problem;
using runlog::RunLog;

namespace {

// The answers to a damaged log, in the order of its question's buttons.
enum DamagedLogAnswer { SetAsideAndStartFresh, OpenReadOnly, LeaveClosed };

}  // namespace

LogStore::LogStore(desktop::Messages& messages, QObject* parent)
    : QObject(parent), messages_(messages) {}

LogStore::~LogStore() = default;

void LogStore::open(const QString& path, QWidget* parent, std::chrono::milliseconds wait) {
    const runlog::OpenOptions options{.wait = wait};
    auto opened = RunLog::open(plainText(path), options);
    if (auto* log = std::get_if<std::unique_ptr<RunLog>>(&opened)) {
        log_ = std::move(*log);
        return;
    }
    const runlog::LogError error = std::get<runlog::LogError>(opened);
    switch (error.problem) {
        case Problem::Damaged: {
            const desktop::Question question{tr("Run log damaged"),
                                             qtText(error.message),
                                             {tr("Set it aside and start a &fresh log"),
                                              tr("Open it &read-only"), tr("&Leave it closed")},
                                             OpenReadOnly,
                                             LeaveClosed,
                                             desktop::Question::Tone::Warning};
            switch (messages_.ask(parent, question)) {
                case SetAsideAndStartFresh: {
                    auto fresh = RunLog::setAsideAndStartFresh(plainText(path), options);
                    if (auto* start = std::get_if<RunLog::FreshStart>(&fresh)) {
                        log_ = std::move(start->log);
                        note_ = tr("The damaged run log was kept unchanged as %1; a fresh log was "
                                   "started.")
                                    .arg(qtText(start->keptAs));
                    } else {
                        note_ = qtText(std::get<runlog::LogError>(fresh).message);
                    }
                    return;
                }
                case OpenReadOnly:
                    openReadOnly(path, qtText(error.message));
                    return;
                default:
                    note_ = qtText(error.message);
                    return;
            }
        }
        case Problem::InUse:
        case Problem::ReadOnly:
            openReadOnly(path, qtText(error.message));
            return;
        default:
            note_ = qtText(error.message);
    }
}

void LogStore::openReadOnly(const QString& path, const QString& why) {
    auto opened = RunLog::open(plainText(path), {.access = runlog::Access::ReadOnly});
    if (auto* log = std::get_if<std::unique_ptr<RunLog>>(&opened)) {
        log_ = std::move(*log);
        note_ = tr("%1 The log is open read-only.").arg(why);
    } else {
        note_ = why;
    }
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

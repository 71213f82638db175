#include "log_store.h"

#include "log_qt.h"
#include "services.h"

namespace moravik::raceday_window {

using runlog::Problem;
using runlog::RunLog;

LogStore::LogStore(Questions& questions, QObject* parent)
    : QObject(parent), questions_(questions) {}

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
        case Problem::Damaged:
            switch (questions_.askAboutDamagedLog(parent, qtText(error.message))) {
                case DamagedLogChoice::SetAsideAndStartFresh: {
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
                case DamagedLogChoice::OpenReadOnly:
                    openReadOnly(path, qtText(error.message));
                    return;
                case DamagedLogChoice::LeaveClosed:
                    note_ = qtText(error.message);
                    return;
            }
            return;
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
    questions_.tell(parent, tr("Run log"), qtText(error.message));
}

}  // namespace moravik::raceday_window

// The run log's plain types at the Qt edge: its texts are UTF-8 std::strings
// and its moments milliseconds since 1970.
#pragma once

#include <QDateTime>
#include <QString>
#include <string>

#include "moravik/runlog/moment.h"

namespace moravik::raceday_window {

inline QString qtText(const std::string& text) { return QString::fromStdString(text); }
inline std::string plainText(const QString& text) { return text.toStdString(); }

inline QDateTime qtDateTime(runlog::Moment when) {
    return QDateTime::fromMSecsSinceEpoch(runlog::millisecondsOf(when));
}
inline runlog::Moment plainMoment(const QDateTime& when) {
    return runlog::momentOfMilliseconds(when.toMSecsSinceEpoch());
}

}  // namespace moravik::raceday_window

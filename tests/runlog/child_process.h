// Starting runlog_child, the second program of the multi-process tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <QStringList>

namespace moravik::runlog {

// The unprivileged account of Debian, for checks that root would pass anyway.
inline constexpr uid_t nobodyId = 65534;

inline void startChild(QProcess& child, const QStringList& arguments, bool asNobody = false) {
    if (asNobody) {
        child.setChildProcessModifier([] {
            if (::setgid(nobodyId) != 0 || ::setuid(nobodyId) != 0) ::_exit(4);
        });
    }
    child.start(QStringLiteral(RUNLOG_CHILD), arguments);
    ASSERT_TRUE(child.waitForStarted(5000)) << child.errorString().toStdString();
}

// The child's next line of output, waiting up to ten seconds for it.
inline QString nextLine(QProcess& child) {
    while (!child.canReadLine()) {
        if (!child.waitForReadyRead(10000)) return {};
    }
    return QString::fromUtf8(child.readLine()).trimmed();
}

}  // namespace moravik::runlog

// The tests' second programs: runlog_child, and moravik-calc run as its own process.
#pragma once

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QProcess>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace moravik::runlog {

// Root passes file permissions; a child without that override sees them as any user would.
// Dropped from the bounding set, the capabilities stay out of the child after exec.
inline void startChild(QProcess& child, const QStringList& arguments,
                       bool withoutPermissionOverride = false) {
    if (withoutPermissionOverride && ::geteuid() == 0) {
        child.setChildProcessModifier([] {
            if (::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 ||
                ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) != 0)
                ::_exit(4);
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

// moravik-calc log --database `log` with `words`, as a program of its own: the
// store's tests link no command line. `inChild` runs in the child first: limits, signals.
inline void startCalcLog(QProcess& calc, const QString& log, const std::vector<std::string>& words,
                         const std::function<void()>& inChild = {}) {
    QStringList arguments{QStringLiteral("log"), QStringLiteral("--database"), log};
    for (const auto& word : words) arguments.append(QString::fromStdString(word));
    if (inChild) calc.setChildProcessModifier(inChild);
    calc.start(QStringLiteral(MORAVIK_CALC), arguments);
    calc.closeWriteChannel();
}

struct Calc {
    int status = -1;
    std::string out;
    std::string err;
};

inline Calc calcLog(const QString& log, const std::vector<std::string>& words,
                    const std::function<void()>& inChild = {}) {
    QProcess calc;
    startCalcLog(calc, log, words, inChild);
    EXPECT_TRUE(calc.waitForFinished(60000)) << calc.errorString().toStdString();
    return {calc.exitStatus() == QProcess::NormalExit ? calc.exitCode() : -1,
            calc.readAllStandardOutput().toStdString(), calc.readAllStandardError().toStdString()};
}

}  // namespace moravik::runlog

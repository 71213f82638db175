// Both windows' messages in a test: failures recorded, questions answered as
// the test prepared before asking them.
#pragma once

#include <QStringList>
#include <functional>
#include <utility>

#include "messages.h"

namespace moravik::desktop::testing {

struct PreparedMessages final : Messages {
    explicit PreparedMessages(QStringList prepared = {}) : answers(std::move(prepared)) {}

    QStringList errors;
    QStringList asked;    // the questions' texts, in order
    QStringList answers;  // the answers' texts, taken in order; none left: Escape's answer
    std::function<void()> whenAsked;  // to look at the window as it asks

    void error(QWidget*, const QString&, const QString& text) override { errors.append(text); }
    int ask(QWidget*, const Question& question) override {
        asked.append(question.text);
        if (whenAsked) whenAsked();
        if (answers.isEmpty()) return question.cancelAnswer;
        const QString answer = answers.takeFirst();
        const auto index = question.answers.indexOf(answer);
        if (index < 0)
            qFatal("\"%s\" is no answer to \"%s\"", qPrintable(answer), qPrintable(question.text));
        return static_cast<int>(index);
    }
};

}  // namespace moravik::desktop::testing

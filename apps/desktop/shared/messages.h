// How both windows tell the user of a failure and ask a question: one
// interface, so that the programs show modal message boxes while tests answer
// as they prepared beforehand and are never blocked by a dialog.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace moravik::desktop {

// A question and its answers, as the texts of its buttons with their access keys.
struct Question {
    enum class Tone { Question, Warning };
    QString title;
    QString text;
    QStringList answers;
    int defaultAnswer;  // what Return chooses
    int cancelAnswer;   // what Escape and the close box choose
    Tone tone = Tone::Question;
};

class Messages {
public:
    virtual ~Messages() = default;
    // A failure the user must see before going on.
    virtual void error(QWidget* parent, const QString& title, const QString& text) = 0;
    // The index in question.answers of the answer chosen.
    virtual int ask(QWidget* parent, const Question& question) = 0;
};

// Modal message boxes.
class MessageBoxes final : public Messages {
public:
    void error(QWidget* parent, const QString& title, const QString& text) override;
    int ask(QWidget* parent, const Question& question) override;
};

}  // namespace moravik::desktop

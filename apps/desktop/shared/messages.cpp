#include "messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace moravik::desktop {

void MessageBoxes::error(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

int MessageBoxes::ask(QWidget* parent, const Question& question) {
    QMessageBox box(
        question.tone == Question::Tone::Warning ? QMessageBox::Warning : QMessageBox::Question,
        question.title, question.text, QMessageBox::NoButton, parent);
    QList<QPushButton*> buttons;
    for (qsizetype i = 0; i < question.answers.size(); ++i) {
        const QMessageBox::ButtonRole role = i == question.cancelAnswer ? QMessageBox::RejectRole
                                             : i == 0                   ? QMessageBox::AcceptRole
                                                                        : QMessageBox::ActionRole;
        buttons.append(box.addButton(question.answers[i], role));
    }
    box.setDefaultButton(buttons.value(question.defaultAnswer));
    box.setEscapeButton(buttons.value(question.cancelAnswer));
    box.exec();
    const auto chosen = buttons.indexOf(box.clickedButton());
    return chosen >= 0 ? static_cast<int>(chosen) : question.cancelAnswer;
}

}  // namespace moravik::desktop

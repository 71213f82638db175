#include "services.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace moravik::raceday_window {

QString DialogFileChooser::saveFileName(QWidget* parent, const QString& caption,
                                        const QString& suggestedName, const QString& filters) {
    return QFileDialog::getSaveFileName(parent, caption, QDir::home().filePath(suggestedName),
                                        filters);
}

QString DialogFileChooser::openFileName(QWidget* parent, const QString& caption,
                                        const QString& filters) {
    return QFileDialog::getOpenFileName(parent, caption, QDir::homePath(), filters);
}

DamagedLogChoice DialogQuestions::askAboutDamagedLog(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Warning, QObject::tr("Run log damaged"), message,
                    QMessageBox::NoButton, parent);
    auto* fresh =
        box.addButton(QObject::tr("Set it aside and start a &fresh log"), QMessageBox::AcceptRole);
    auto* readOnly = box.addButton(QObject::tr("Open it &read-only"), QMessageBox::ActionRole);
    box.addButton(QObject::tr("&Leave it closed"), QMessageBox::RejectRole);
    box.setDefaultButton(readOnly);
    box.exec();
    if (box.clickedButton() == fresh) return DamagedLogChoice::SetAsideAndStartFresh;
    if (box.clickedButton() == readOnly) return DamagedLogChoice::OpenReadOnly;
    return DamagedLogChoice::LeaveClosed;
}

void DialogQuestions::tell(QWidget* parent, const QString& title, const QString& message) {
    QMessageBox::warning(parent, title, message);
}

bool DialogQuestions::confirm(QWidget* parent, const QString& title, const QString& message) {
    return QMessageBox::question(parent, title, message, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace moravik::raceday_window

#include "services.h"

#include <QDir>
#include <QFileDialog>

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

}  // namespace moravik::raceday_window

// The files the Race Day window asks the desktop for, behind an interface so
// that tests answer instead of a modal dialog. Messages and questions go
// through desktop's Messages.
#pragma once

#include <QString>

class QWidget;

namespace moravik::raceday_window {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The file to save to, or an empty text when the user cancels.
    virtual QString saveFileName(QWidget* parent, const QString& caption,
                                 const QString& suggestedName, const QString& filters) = 0;
    // The file to read, or an empty text when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& caption,
                                 const QString& filters) = 0;
};

// Asks with the desktop's save dialog.
class DialogFileChooser final : public FileChooser {
public:
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggestedName,
                         const QString& filters) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& filters) override;
};

}  // namespace moravik::raceday_window

// What the Race Day window asks of the desktop, behind interfaces so that
// tests answer instead of a modal dialog.
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

// What to do with a run log that is not a log or is damaged.
enum class DamagedLogChoice { SetAsideAndStartFresh, OpenReadOnly, LeaveClosed };

class Questions {
public:
    virtual ~Questions() = default;
    virtual DamagedLogChoice askAboutDamagedLog(QWidget* parent, const QString& message) = 0;
    // A message the user must see before going on: a failed change or import.
    virtual void tell(QWidget* parent, const QString& title, const QString& message) = 0;
    // A yes-or-no question: keep a value that looks wrong?
    virtual bool confirm(QWidget* parent, const QString& title, const QString& message) = 0;
};

// Asks with message boxes.
class DialogQuestions final : public Questions {
public:
    DamagedLogChoice askAboutDamagedLog(QWidget* parent, const QString& message) override;
    void tell(QWidget* parent, const QString& title, const QString& message) override;
    bool confirm(QWidget* parent, const QString& title, const QString& message) override;
};

}  // namespace moravik::raceday_window

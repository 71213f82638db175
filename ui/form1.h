// The main window: the inputs and results of the calculation, Calculate and
// Exit, and the menu bar that opens the help, About and support windows.
// The window converts nothing itself: Calculate hands the input texts to the
// engine and writes back the 31 result texts, or reports the fault.
#pragma once

#include <QMainWindow>
#include <QScopedPointer>
#include <array>
#include <memory>

#include "moravik/calculate.h"
#include "services.h"

class QLineEdit;

namespace Ui {
class Form1;
}

namespace moravik::ui {

class DocumentWindow;
class Form5;
class Form6;

class Form1 final : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

signals:
    // Exit, Alt+X or the close box: the application is to end now. The
    // secondary windows are closed before this is emitted.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cal_Click();
    void cmdexit_Click();
    void fields_Click();
    void faq_Click();
    void nitrous101_Click();
    void about_Click();
    void shareware_Click();

    InputTexts inputTexts() const;
    void placeClientArea();
    void closeSecondaryWindows();

    const QScopedPointer<Ui::Form1> ui;
    const Services services;
    std::array<QLineEdit*, resultFieldCount> resultBoxes{};  // in the writing order
    std::unique_ptr<DocumentWindow> form2;
    std::unique_ptr<DocumentWindow> form3;
    std::unique_ptr<DocumentWindow> form4;
    std::unique_ptr<Form5> form5;
    std::unique_ptr<Form6> form6;
};

}  // namespace moravik::ui

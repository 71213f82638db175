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

namespace Ui {
class Form1;
}

namespace moravik::ui {

class DocumentWindow;
class SupportWindow;
class AboutWindow;
class ResultBox;

// The design's Form1, which stays its object name.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

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
    void placeOnScreen();
    void closeSecondaryWindows();

    const QScopedPointer<Ui::Form1> ui;
    const Services services;
    std::array<ResultBox*, resultFieldCount> resultBoxes{};  // in the writing order
    std::unique_ptr<DocumentWindow> fieldInputsWindow;
    std::unique_ptr<DocumentWindow> faqWindow;
    std::unique_ptr<DocumentWindow> nitrous101Window;
    std::unique_ptr<SupportWindow> supportWindow;
    std::unique_ptr<AboutWindow> aboutWindow;
};

}  // namespace moravik::ui

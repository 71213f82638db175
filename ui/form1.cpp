#include "form1.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QStringList>

#include "document_window.h"
#include "form5.h"
#include "form6.h"
#include "moravik/tracks.h"
#include "ui_Form1.h"

namespace moravik::ui {
namespace {

// Where the design puts the top-left corner of the client area (the part below
// the menu bar) on the screen.
constexpr QPoint clientAreaPosition{147, 147};

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString faultMessage(Fault fault) {
    QString kind = toQString(faultName(fault));
    kind[0] = kind[0].toUpper();
    return QStringLiteral("%1.\nThe calculation stopped; every result keeps its previous value.")
        .arg(kind);
}

// Creates the window on first use; later calls present the same object.
template <class Window, class... Arguments>
void presentWindow(std::unique_ptr<Window>& window, Arguments&&... arguments) {
    if (!window) window = std::make_unique<Window>(std::forward<Arguments>(arguments)...);
    window->present();
}

}  // namespace

Form1::Form1(Services services, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::Form1), services(services) {
    ui->setupUi(this);
    for (std::size_t i = 0; i < resultFieldCount; ++i) {
        resultBoxes[i] = findChild<QLineEdit*>(toQString(resultFieldNames[i]));
        if (!resultBoxes[i]) {
            qFatal("The main window has no result box named %s",
                   qPrintable(toQString(resultFieldNames[i])));
        }
    }

    connect(ui->cal, &QPushButton::clicked, this, &Form1::cal_Click);
    connect(ui->cmdexit, &QPushButton::clicked, this, &Form1::cmdexit_Click);
    connect(ui->fields, &QAction::triggered, this, &Form1::fields_Click);
    connect(ui->faq, &QAction::triggered, this, &Form1::faq_Click);
    connect(ui->nitrous101, &QAction::triggered, this, &Form1::nitrous101_Click);
    connect(ui->about, &QAction::triggered, this, &Form1::about_Click);
    connect(ui->shareware, &QAction::triggered, this, &Form1::shareware_Click);

    Form_Load();
    placeClientArea();
    ui->cmdexit->setFocus();
}

Form1::~Form1() = default;

void Form1::Form_Load() {
    QStringList entries;
    for (const std::string_view entry : trackEntries()) entries.append(toQString(entry));
    ui->altitudeDD->addItems(entries);
    // A combo box selects its first item when it is filled; the design shows none.
    ui->altitudeDD->setCurrentIndex(-1);
}

// The design gives the client area's size (the form's size in Form1.ui) and its
// position; the menu bar sits above it, so the window grows by its height.
void Form1::placeClientArea() {
    const QSize clientArea = size();
    const int menuHeight = menuBar()->heightForWidth(clientArea.width());
    setGeometry(clientAreaPosition.x(), clientAreaPosition.y() - menuHeight, clientArea.width(),
                clientArea.height() + menuHeight);
}

InputTexts Form1::inputTexts() const {
    InputTexts texts;
    texts.njt = ui->njt->text().toStdString();
    texts.flp = ui->flp->text().toStdString();
    texts.nbp = ui->nbp->text().toStdString();
    texts.jtn = ui->jtn->currentText().toStdString();
    texts.draghp = ui->draghp->text().toStdString();
    texts.vweight = ui->vweight->text().toStdString();
    texts.altitudeDD = ui->altitudeDD->currentText().toStdString();
    return texts;
}

void Form1::cal_Click() {
    const CalculationOutcome outcome = calculate(inputTexts());
    if (const auto* fault = std::get_if<Fault>(&outcome)) {
        services.messages.showError(this, faultMessage(*fault));
        return;
    }
    const auto& results = std::get<ResultTexts>(outcome);
    for (std::size_t i = 0; i < resultFieldCount; ++i) {
        resultBoxes[i]->setText(QString::fromStdString(results[i].text));
        // Narrow boxes then show the start of the number, sign position included.
        resultBoxes[i]->setCursorPosition(0);
    }
}

void Form1::closeSecondaryWindows() {
    for (QWidget* window : std::initializer_list<QWidget*>{form2.get(), form3.get(), form4.get(),
                                                           form5.get(), form6.get()}) {
        if (window) window->close();
    }
}

void Form1::cmdexit_Click() {
    closeSecondaryWindows();
    emit exitRequested();
}

void Form1::closeEvent(QCloseEvent* event) {
    closeSecondaryWindows();
    event->accept();
    emit exitRequested();
}

void Form1::fields_Click() { presentWindow(form2, services, HelpWindow::FieldInputs); }
void Form1::faq_Click() { presentWindow(form3, services, HelpWindow::Faq); }
void Form1::nitrous101_Click() { presentWindow(form4, services, HelpWindow::Nitrous101); }
void Form1::about_Click() { presentWindow(form6); }
void Form1::shareware_Click() { presentWindow(form5, services); }

}  // namespace moravik::ui

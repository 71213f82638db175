#include "main_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStringList>
#include <QStyle>
#include <QWindow>
#include <algorithm>

#include "about_window.h"
#include "document_window.h"
#include "look.h"
#include "menu_keyboard.h"
#include "moravik/tracks.h"
#include "result_box.h"
#include "support_window.h"
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

MainWindow::MainWindow(Services services, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::Form1), services(services) {
    ui->setupUi(this);
    // Set here, not in Form1.ui, whose pixmaps Qt loads by guessing their format. Scaled
    // once to the label, as the label would scale it, so that the label keeps no full-size
    // copy beside the one it shows.
    const qreal ratio = devicePixelRatioF();
    QPixmap car = QPixmap::fromImage(
        QPixmap::fromImage(desktop::readPng(QStringLiteral(":/images/dragcar.png")))
            .toImage()
            .scaled(ui->Image1->contentsRect().size() * ratio, Qt::IgnoreAspectRatio,
                    Qt::SmoothTransformation));
    car.setDevicePixelRatio(ratio);
    ui->Image1->setPixmap(car);
    for (std::size_t i = 0; i < resultFieldCount; ++i) {
        resultBoxes[i] = findChild<ResultBox*>(toQString(resultFieldNames[i]));
        if (!resultBoxes[i]) {
            qFatal("The main window has no result box named %s",
                   qPrintable(toQString(resultFieldNames[i])));
        }
    }

    connect(ui->cal, &QPushButton::clicked, this, &MainWindow::cal_Click);
    connect(ui->cmdexit, &QPushButton::clicked, this, &MainWindow::cmdexit_Click);
    connect(ui->fields, &QAction::triggered, this, &MainWindow::fields_Click);
    connect(ui->faq, &QAction::triggered, this, &MainWindow::faq_Click);
    connect(ui->nitrous101, &QAction::triggered, this, &MainWindow::nitrous101_Click);
    connect(ui->about, &QAction::triggered, this, &MainWindow::about_Click);
    connect(ui->shareware, &QAction::triggered, this, &MainWindow::shareware_Click);

    new MenuBarKeys(*this, *menuBar());

    // The client area keeps the design's size and scrolls on screens too small for it.
    QWidget* clientArea = takeCentralWidget();
    clientArea->setFixedSize(size());
    auto* scroller = new QScrollArea;
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidget(clientArea);
    setCentralWidget(scroller);

    Form_Load();
    placeOnScreen();
    ui->cmdexit->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::Form_Load() {
    QStringList entries;
    for (const std::string_view entry : trackEntries()) entries.append(toQString(entry));
    ui->altitudeDD->addItems(entries);
    // A combo box selects its first item when it is filled; the design shows none.
    ui->altitudeDD->setCurrentIndex(-1);
}

// The design gives the client area's size (the form's size in Form1.ui) and its
// position; the menu bar sits above it, so the window grows by its height.
// Where that does not fit the screen's free area, the window moves as little
// as it must; where even that is too little room, it takes the whole area and
// its client area scrolls, rather than be cut off.
void MainWindow::placeOnScreen() {
    const QSize clientArea = ui->clientArea->size();
    const int menuHeight = menuBar()->heightForWidth(clientArea.width());
    create();
    const QMargins frame = windowHandle()->frameMargins();
    const QScreen* screen = QGuiApplication::screenAt(clientAreaPosition);
    const QRect room = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();

    QRect window(clientAreaPosition - QPoint(0, menuHeight), clientArea + QSize(0, menuHeight));
    window = window.marginsAdded(frame);
    // A scroll bar for one direction takes room from the other.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (window.height() > room.height()) window.setWidth(window.width() + scrollBar);
    if (window.width() > room.width()) window.setHeight(window.height() + scrollBar);
    window.setSize(window.size().boundedTo(room.size()));
    window.moveLeft(std::clamp(window.left(), room.left(), room.right() + 1 - window.width()));
    window.moveTop(std::clamp(window.top(), room.top(), room.bottom() + 1 - window.height()));
    setGeometry(window.marginsRemoved(frame));
}

InputTexts MainWindow::inputTexts() const {
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

void MainWindow::cal_Click() {
    const CalculationOutcome outcome = calculate(inputTexts());
    if (const auto* fault = std::get_if<Fault>(&outcome)) {
        showError(services, this, faultMessage(*fault));
        return;
    }
    const auto& results = std::get<ResultTexts>(outcome);
    for (std::size_t i = 0; i < resultFieldCount; ++i) {
        resultBoxes[i]->setText(toQString(results[i]));
        // Narrow boxes then show the start of the number, sign position included.
        resultBoxes[i]->setCursorPosition(0);
    }
}

void MainWindow::closeSecondaryWindows() {
    for (QWidget* window : std::initializer_list<QWidget*>{
             fieldInputsWindow.get(), faqWindow.get(), nitrous101Window.get(), supportWindow.get(),
             aboutWindow.get()}) {
        if (window) window->close();
    }
}

void MainWindow::cmdexit_Click() {
    closeSecondaryWindows();
    emit exitRequested();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    closeSecondaryWindows();
    event->accept();
    emit exitRequested();
}

void MainWindow::fields_Click() {
    presentWindow(fieldInputsWindow, services, HelpWindow::FieldInputs);
}
void MainWindow::faq_Click() { presentWindow(faqWindow, services, HelpWindow::Faq); }
void MainWindow::nitrous101_Click() {
    presentWindow(nitrous101Window, services, HelpWindow::Nitrous101);
}
void MainWindow::about_Click() { presentWindow(aboutWindow); }
void MainWindow::shareware_Click() { presentWindow(supportWindow, services); }

}  // namespace moravik::ui

#include "race_day_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QShowEvent>
#include <algorithm>

#include "about_dialog.h"
#include "air_section.h"
#include "bottle_section.h"
#include "chart_section.h"
#include "day_sheet_builder.h"
#include "horsepower_section.h"
#include "jet_section.h"
#include "log_section.h"
#include "log_store.h"
#include "look.h"
#include "mile_section.h"
#include "prediction_section.h"
#include "quantity_field.h"
#include "services.h"
#include "start_up.h"
#include "ui_DaySheetDialog.h"
#include "ui_RaceDayWindow.h"

namespace moravik::raceday_window {
namespace {

const QString unitSystemKey = QStringLiteral("units/system");
const QString geometryKey = QStringLiteral("window/geometry");
const QString sectionsGroup = QStringLiteral("sections/");

// Keys named in a note: printable, and not so many that the status bar
// grows past the window.
constexpr qsizetype notedKeysShown = 5;

QString notedKeys(const QStringList& keys) {
    QStringList shown;
    for (const QString& key : keys.first(std::min(keys.size(), notedKeysShown))) {
        QString printable;
        for (const QChar c : key) printable += c.isPrint() ? QString(c) : QStringLiteral("?");
        shown.append(printable);
    }
    QString text = shown.join(QStringLiteral(", "));
    if (keys.size() > notedKeysShown) {
        text += QObject::tr(" and %n more", "", static_cast<int>(keys.size() - notedKeysShown));
    }
    return text;
}

// QSettings writes its files in printable ASCII, escaping everything else, and
// skips lines it cannot read: control bytes mean the file is not one it wrote.
bool looksDamaged(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    constexpr qint64 chunk = 64 * 1024;
    while (!file.atEnd()) {
        const QByteArray bytes = file.read(chunk);
        for (const char byte : bytes) {
            const auto code = static_cast<unsigned char>(byte);
            if ((code < 0x20 && byte != '\n' && byte != '\r' && byte != '\t') || code == 0x7f)
                return true;
        }
    }
    return false;
}

// The first field of a page in its tab order.
QWidget* firstField(QWidget* page) {
    for (QWidget* widget = page->nextInFocusChain(); widget != page;
         widget = widget->nextInFocusChain()) {
        if (page->isAncestorOf(widget) && widget->isVisibleTo(page) && widget->isEnabled() &&
            (widget->focusPolicy() & Qt::TabFocus)) {
            return widget;
        }
    }
    return page;
}

// A tall section scrolls on a small screen rather than pushing the status bar off it, and
// otherwise fills its page. QScrollArea's own resizing would make a section with wrapped text
// as tall as it likes to be, not as tall as it must be, and scroll it needlessly.
class SectionPage final : public QScrollArea {
public:
    explicit SectionPage(QWidget* section) {
        setFrameShape(QFrame::NoFrame);
        setWidget(section);
    }

protected:
    bool viewportEvent(QEvent* event) override {
        if (event->type() == QEvent::Resize) fit();
        return QScrollArea::viewportEvent(event);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool handled = QScrollArea::eventFilter(watched, event);
        if (watched == widget() && event->type() == QEvent::LayoutRequest) fit();
        return handled;
    }

private:
    void fit() {
        const QSize least = widget()->minimumSizeHint().expandedTo(widget()->minimumSize());
        const QSize fitted = viewport()->size().expandedTo(least);
        if (widget()->size() != fitted) widget()->resize(fitted);
    }
};

class DaySheetDialog final : public QDialog {
public:
    explicit DaySheetDialog(QWidget* parent) : QDialog(parent) {
        ui.setupUi(this);
        ui.paper->setCurrentIndex(localPaper() == QPageSize::Letter ? letter : a4);
    }
    double marginSeconds() const { return ui.dialInMargin->value(); }
    QPageSize::PageSizeId paper() const {
        return ui.paper->currentIndex() == letter ? QPageSize::Letter : QPageSize::A4;
    }

private:
    enum Paper { a4, letter };  // the rows of the form's list
    Ui::DaySheetDialog ui;
};

}  // namespace

void setUpApplication(QApplication& app) {
    QCoreApplication::setOrganizationName(QStringLiteral("Moravik"));
    QCoreApplication::setApplicationName(QStringLiteral("moravik-raceday"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MORAVIK_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Moravik Race Day"));
    // Lets Wayland desktops match the window to its menu entry and icon.
    const QString id = desktop::applicationId(desktop::Program::RaceDay);
    QGuiApplication::setDesktopFileName(id);
    // Read as the PNG it is, so that no image plugin is loaded to guess.
    QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(
        desktop::readPng(QStringLiteral(":/raceday/") + id + QStringLiteral(".png")))));
    moravik::desktop::applyDesignLook(app);
}

RaceDayWindow::RaceDayWindow(FileChooser& files, desktop::Messages& messages,
                             const QString& logPath)
    : ui(new Ui::RaceDayWindow),
      files_(files),
      logStore_(new LogStore(messages, this)),
      settingsNote_(new QLabel(this)) {
    ui->setupUi(this);
    logStore_->open(logPath, this);
    settingsNote_->setObjectName(QStringLiteral("settingsNote"));
    statusBar()->addPermanentWidget(settingsNote_);

    addSection(new AirSection(todaysAir_));
    addSection(new PredictionSection(todaysAir_));
    addSection(new HorsepowerSection(todaysAir_));
    addSection(new MileSection);
    addSection(new JetSection);
    auto* chart = new ChartSection(files);
    connect(chart, &ChartSection::saved, this,
            [this](const QString& message) { statusBar()->showMessage(message); });
    addSection(chart);
    auto* log = new LogSection(*logStore_, todaysAir_, files, messages);
    connect(log, &LogSection::reported, this,
            [this](const QString& message) { statusBar()->showMessage(message); });
    connect(ui->actionImportRuns, &QAction::triggered, log, &LogSection::importRuns);
    // A log another instance writes, or a damaged one, takes nothing in; the
    // menu says so rather than offering an import that cannot happen.
    ui->menuFile->setToolTipsVisible(true);
    connect(log, &LogSection::importAllowed, this, [this](bool allowed, const QString& why) {
        ui->actionImportRuns->setEnabled(allowed);
        ui->actionImportRuns->setToolTip(allowed ? ui->actionImportRuns->iconText() : why);
        ui->actionImportRuns->setStatusTip(why);
    });
    log->tellImportAllowed();
    connect(ui->actionExportRuns, &QAction::triggered, log, &LogSection::exportRuns);
    addSection(log);
    addSection(new BottleSection);

    auto* systems = new QActionGroup(this);
    for (QAction* choice : {ui->actionImperial, ui->actionMetric}) systems->addAction(choice);
    ui->actionImperial->setChecked(true);
    connect(ui->actionImperial, &QAction::triggered, this,
            [this] { setUnitSystem(raceday::UnitSystem::Imperial); });
    connect(ui->actionMetric, &QAction::triggered, this,
            [this] { setUnitSystem(raceday::UnitSystem::Metric); });
    connect(ui->actionQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui->actionDaySheet, &QAction::triggered, this, &RaceDayWindow::askForDaySheet);
    connect(ui->actionAbout, &QAction::triggered, this, &RaceDayWindow::showAbout);
    connect(ui->sections, &QTabWidget::currentChanged, this, &RaceDayWindow::showProblem);

    loadSettings();
    showProblem();
}

RaceDayWindow::~RaceDayWindow() = default;

void RaceDayWindow::addSection(Section* section) {
    sections_.append(section);
    auto* page = new SectionPage(section);
    page->setObjectName(section->objectName() + QStringLiteral("Page"));
    ui->sections->addTab(page, section->windowTitle());
    QAction* go = ui->menuSections->addAction(section->windowTitle());
    go->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + sections_.size())));
    connect(go, &QAction::triggered, this, [this, section] { showSection(section); });
    connect(section, &Section::problemChanged, this, &RaceDayWindow::showProblem);
}

void RaceDayWindow::showSection(Section* section) {
    ui->sections->setCurrentIndex(static_cast<int>(sections_.indexOf(section)));
    firstField(section)->setFocus(Qt::ShortcutFocusReason);
}

void RaceDayWindow::showProblem() {
    const Section* current = sections_.value(ui->sections->currentIndex());
    if (current == nullptr || current->problem().isEmpty()) {
        statusBar()->clearMessage();
    } else {
        statusBar()->showMessage(current->problem());
    }
}

void RaceDayWindow::setUnitSystem(raceday::UnitSystem system) {
    system_ = system;
    (system == raceday::UnitSystem::Metric ? ui->actionMetric : ui->actionImperial)
        ->setChecked(true);
    for (Section* section : sections_) section->setUnitSystem(system);
}

void RaceDayWindow::loadSettings() {
    QSettings settings;
    // QSettings skips lines it cannot read, so a file of garbage reads as no
    // settings at all.
    const bool unreadable =
        settings.status() != QSettings::NoError ||
        (settings.allKeys().isEmpty() && QFileInfo(settings.fileName()).size() > 0) ||
        looksDamaged(settings.fileName());
    if (unreadable) {
        // Kept for the user rather than overwritten by the next save.
        const QString damaged = settings.fileName() + QStringLiteral(".damaged");
        QFile::remove(damaged);
        if (!QFile::rename(settings.fileName(), damaged)) {
            // Not set aside, so not overwritten either: this session's settings are not kept.
            keepSettings_ = false;
            settingsNote_->setText(tr("The settings file %1 could not be read and is left as it "
                                      "is; defaults are used and not saved.")
                                       .arg(settings.fileName()));
            return;
        }
        settingsNote_->setText(
            tr("The settings file could not be read and was set aside as %1; defaults are used.")
                .arg(damaged));
        return;
    }
    QStringList problems;
    for (const QString& key : settings.allKeys()) {
        if (!key.startsWith(unitSystemKey) && !key.startsWith(geometryKey) &&
            !key.startsWith(sectionsGroup)) {
            problems.append(key);
        }
    }
    if (const auto text = settingText(settings, unitSystemKey, problems)) {
        const auto system = raceday::parseUnitSystem(text->toStdString(), "");
        if (const auto* chosen = std::get_if<raceday::UnitSystem>(&system)) {
            setUnitSystem(*chosen);
        } else {
            problems.append(unitSystemKey);
        }
    }
    if (settings.contains(geometryKey)) {
        const QVariant geometry = settings.value(geometryKey);
        if (geometry.typeId() != QMetaType::QByteArray ||
            !restoreGeometry(geometry.toByteArray())) {
            problems.append(geometryKey);
        } else {
            fitPending_ = true;  // once shown, when the frame is known
        }
    }
    for (Section* section : sections_) {
        settings.beginGroup(sectionsGroup + section->objectName());
        section->loadSettings(settings, problems);
        settings.endGroup();
    }
    if (!problems.isEmpty()) {
        settingsNote_->setText(
            tr("Settings not usable, defaults used: %1").arg(notedKeys(problems)));
    }
}

void RaceDayWindow::fitOnScreen() {
    // A geometry saved on a larger screen would put the status bar and the
    // window's edges out of reach.
    const QScreen* shown = screen();
    if (shown == nullptr) return;
    const QRect available = shown->availableGeometry();
    const QRect frame = frameGeometry();
    const QSize margins = frame.size() - size();
    QRect fitted = geometry();
    fitted.setSize(fitted.size().boundedTo(available.size() - margins));
    fitted.moveLeft(std::clamp(frame.left(), available.left(),
                               std::max(available.left(),
                                        available.right() + 1 - fitted.width() - margins.width())) +
                    (geometry().left() - frame.left()));
    fitted.moveTop(std::clamp(frame.top(), available.top(),
                              std::max(available.top(), available.bottom() + 1 - fitted.height() -
                                                            margins.height())) +
                   (geometry().top() - frame.top()));
    if (fitted != geometry()) setGeometry(fitted);
}

void RaceDayWindow::saveSettings() const {
    // The file holds what the window keeps and nothing else.
    QSettings settings;
    settings.clear();
    settings.setValue(unitSystemKey, system_ == raceday::UnitSystem::Metric
                                         ? QStringLiteral("metric")
                                         : QStringLiteral("imperial"));
    settings.setValue(geometryKey, saveGeometry());
    for (const Section* section : sections_) {
        settings.beginGroup(sectionsGroup + section->objectName());
        section->saveSettings(settings);
        settings.endGroup();
    }
}

void RaceDayWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (fitPending_) fitOnScreen();
    fitPending_ = false;
}

void RaceDayWindow::closeEvent(QCloseEvent* event) {
    if (keepSettings_) saveSettings();
    event->accept();
}

void RaceDayWindow::askForDaySheet() {
    auto* dialog = new DaySheetDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { saveDaySheet(dialog->marginSeconds(), dialog->paper()); });
    dialog->open();
}

void RaceDayWindow::saveDaySheet(double marginSeconds, QPageSize::PageSizeId paper) {
    runlog::RunLog* log = logStore_->log();
    if (log == nullptr) {
        statusBar()->showMessage(
            tr("No day sheet: the run log is not open. %1").arg(logStore_->note()));
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.date();
    QString fileName =
        files_.saveFileName(this, tr("Save the day sheet"),
                            QStringLiteral("day-sheet-%1.pdf").arg(today.toString(Qt::ISODate)),
                            tr("PDF document (*.pdf)"));
    if (fileName.isEmpty()) return;
    if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".pdf");
    const auto sheet = daySheetFromLog(
        *log, todaysAir_, {marginSeconds, runlog::defaultIntervalProbability, system_, now, paper});
    if (const auto* problem = std::get_if<QString>(&sheet)) {
        statusBar()->showMessage(tr("No day sheet: %1").arg(*problem));
        return;
    }
    statusBar()->showMessage(writeDaySheet(std::get<DaySheet>(sheet), fileName).message);
}

void RaceDayWindow::showAbout() {
    auto* about = new AboutDialog(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

}  // namespace moravik::raceday_window

#include "document_windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextBrowser>
#include <QUrl>

#include "moravik/rtf/qt_document.h"
#include "ui_Form2.h"
#include "ui_Form3.h"
#include "ui_Form4.h"

namespace moravik::ui {
namespace {

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("mailto");
}

}  // namespace

DocumentWindow::DocumentWindow(Services services, QString fileName)
    : services(services), fileName(std::move(fileName)) {}

QString DocumentWindow::documentPath() const {
    return QDir::toNativeSeparators(
        QDir(QCoreApplication::applicationDirPath()).filePath(fileName));
}

void DocumentWindow::setView(QTextBrowser* textView) {
    view = textView;
    // The view must never navigate away from the document; links go to the
    // browser, and only web and mail addresses count as links.
    view->setOpenLinks(false);
    connect(view, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (isWebAddress(url)) openInBrowser(services, this, url);
    });
}

bool DocumentWindow::load() {
    const QString path = documentPath();
    const QString problem = moravik::rtf::loadFile(path, *view->document());
    if (!problem.isEmpty()) {
        services.messages.showError(
            this, QStringLiteral("The help document %1 could not be shown: %2").arg(path, problem));
        return false;
    }
    // Building the document leaves the view's cursor at its end; a fresh
    // document starts at the top.
    view->moveCursor(QTextCursor::Start);
    view->setFocus();
    return true;
}

void DocumentWindow::unload() { view->clear(); }

Form2::Form2(Services services)
    : DocumentWindow(services, QStringLiteral("Nitroushelp.rtf")), ui(new Ui::Form2) {
    ui->setupUi(this);
    setView(ui->RichTextBox1);
}

Form2::~Form2() = default;

Form3::Form3(Services services)
    : DocumentWindow(services, QStringLiteral("NitrousFAQ.rtf")), ui(new Ui::Form3) {
    ui->setupUi(this);
    setView(ui->RichTextBox1);
}

Form3::~Form3() = default;

Form4::Form4(Services services)
    : DocumentWindow(services, QStringLiteral("Nitrous101.rtf")), ui(new Ui::Form4) {
    ui->setupUi(this);
    setView(ui->RichTextBox1);
}

Form4::~Form4() = default;

}  // namespace moravik::ui

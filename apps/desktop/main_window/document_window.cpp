#include "document_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

#include "moravik/help_documents.h"
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

// The three designs differ in their names only; each gives its window its view.
template <class Design>
QTextBrowser* setUp(QWidget* window) {
    Design design;
    design.setupUi(window);
    return design.RichTextBox1;
}

QTextBrowser* setUpDesign(HelpWindow which, QWidget* window) {
    switch (which) {
        case HelpWindow::FieldInputs:
            return setUp<Ui::Form2>(window);
        case HelpWindow::Faq:
            return setUp<Ui::Form3>(window);
        case HelpWindow::Nitrous101:
            return setUp<Ui::Form4>(window);
    }
    return nullptr;
}

// The document of the window with the given design name.
QString documentOf(const QString& window) {
    const auto* found = std::ranges::find_if(docs::kHelpDocuments, [&](const auto& document) {
        return window == QLatin1String(document.window.data(), qsizetype(document.window.size()));
    });
    if (found == std::end(docs::kHelpDocuments))
        qFatal("No help document for %s", qPrintable(window));
    return QString::fromUtf8(found->file.data(), qsizetype(found->file.size()));
}

}  // namespace

DocumentWindow::DocumentWindow(Services services, HelpWindow window)
    : services(services), view(setUpDesign(window, this)), fileName(documentOf(objectName())) {
    // The view must never navigate away from the document; links go to the
    // browser, and only web and mail addresses count as links.
    view->setOpenLinks(false);
    connect(view, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (isWebAddress(url)) openInBrowser(this->services, this, url);
    });
    connect(&loader, &rtf::DocumentLoader::finished, this, &DocumentWindow::showLoaded);
}

DocumentWindow::~DocumentWindow() = default;

QString DocumentWindow::documentPath() const {
    return QDir::toNativeSeparators(
        QDir(QCoreApplication::applicationDirPath()).filePath(fileName));
}

bool DocumentWindow::load() {
    auto* notice = new QTextDocument;
    notice->setPlainText(QStringLiteral("Loading\u2026"));
    showDocument(notice);
    loader.start(documentPath());
    return true;
}

void DocumentWindow::unload() {
    loader.cancel();
    showDocument(new QTextDocument);
}

void DocumentWindow::showLoaded() {
    rtf::LoadResult result = loader.takeResult();
    if (auto* failure = std::get_if<rtf::LoadFailure>(&result)) {
        showError(services, this,
                  QStringLiteral("The help document %1 could not be shown: %2")
                      .arg(documentPath(), failure->reason));
        close();
        return;
    }
    showDocument(std::get<std::unique_ptr<QTextDocument>>(result).release());
    // A fresh document starts at the top.
    view->moveCursor(QTextCursor::Start);
    view->setFocus();
}

// The view owns the documents it shows, and drops the one before.
//
// Qt lays a document out in steps that each end only after 2,000 pixels of height, however much
// they hold, and the view lays out the first step as it takes the document. A document of page
// size 0 x 0 is laid out only once the view gives it its width; and the view keeps its vertical
// scroll bar (the designs), so that the bar appearing does not narrow it and start it again.
void DocumentWindow::showDocument(QTextDocument* document) {
    document->setPageSize(QSizeF(0, 0));
    QTextDocument* previous = view->document();
    const bool ownedByView = previous->parent() == view;
    document->setParent(view);
    view->setDocument(document);
    if (ownedByView) delete previous;
}

}  // namespace moravik::ui

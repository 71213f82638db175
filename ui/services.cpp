#include "services.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace moravik::ui {

void MessageBoxSink::showError(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("Moravik"), text);
}

bool DesktopUrlOpener::open(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool openInBrowser(const Services& services, QWidget* parent, const QUrl& url) {
    if (services.browser.open(url)) return true;
    services.messages.showError(
        parent, QStringLiteral("The web browser could not be started. Please open this address "
                               "in your browser by hand:\n%1")
                    .arg(url.toString()));
    return false;
}

}  // namespace moravik::ui

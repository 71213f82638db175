#include "services.h"

#include <QDesktopServices>
#include <QUrl>

namespace moravik::ui {

void showError(const Services& services, QWidget* parent, const QString& text) {
    services.messages.error(parent, QStringLiteral("Moravik"), text);
}

bool DesktopUrlOpener::open(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool openInBrowser(const Services& services, QWidget* parent, const QUrl& url) {
    if (services.browser.open(url)) return true;
    showError(services, parent,
              QStringLiteral("The web browser could not be started. Please open this address "
                             "in your browser by hand:\n%1")
                  .arg(url.toString()));
    return false;
}

}  // namespace moravik::ui

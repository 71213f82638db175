// What the windows need from the world outside them: a way to tell the user
// something (desktop's Messages) and a way to open a web address. Both are
// interfaces so that tests can record messages and browser starts instead of
// opening dialogs and browsers.
#pragma once

#include <QString>

#include "messages.h"

class QUrl;
class QWidget;

namespace moravik::ui {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Starts the user's default browser on url without waiting for it. Returns
    // false when no browser could be started.
    virtual bool open(const QUrl& url) = 0;
};

// QDesktopServices, which hands the address to the desktop's own opener.
class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

struct Services {
    desktop::Messages& messages;
    UrlOpener& browser;
};

// Tells of a failure under the program's name.
void showError(const Services& services, QWidget* parent, const QString& text);

// Opens url in the browser. When that fails, the message names the address so
// that the user can open it by hand. Returns whether the browser started.
bool openInBrowser(const Services& services, QWidget* parent, const QUrl& url);

}  // namespace moravik::ui

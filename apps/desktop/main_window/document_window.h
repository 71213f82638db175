#pragma once

#include <QString>

#include "moravik/rtf/loader.h"
#include "secondary_window.h"
#include "services.h"

class QTextBrowser;
class QTextDocument;

namespace moravik::ui {

// The help windows, by what they show. Their designs are Form2, Form3 and Form4.
enum class HelpWindow { FieldInputs, Faq, Nitrous101 };

// A window that shows one Rich Text Format help document from the application's folder. The
// document is read anew each time the window is loaded, on a worker thread: the window shows
// "Loading…" meanwhile, and closing it cancels the load. A changed file therefore shows after
// the window has been closed and opened again.
class DocumentWindow final : public SecondaryWindow {
    Q_OBJECT
public:
    DocumentWindow(Services services, HelpWindow window);
    ~DocumentWindow() override;

    // The full path of the document, with the platform's separators.
    QString documentPath() const;

protected:
    bool load() override;
    void unload() override;

private:
    void showLoaded();
    void showDocument(QTextDocument* document);

    const Services services;
    QTextBrowser* view = nullptr;
    QString fileName;
    rtf::DocumentLoader loader;
};

}  // namespace moravik::ui

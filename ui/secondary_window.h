#pragma once

#include <QWidget>

namespace moravik::ui {

// A window that the main window creates on first use and keeps for the whole
// run. Its close box unloads it; the next present() loads it again. Hiding it
// keeps it loaded, so it comes back as it was.
class SecondaryWindow : public QWidget {
    Q_OBJECT
public:
    // Loads the window unless it is loaded, then shows it in front. Returns
    // false, with the window left hidden, when loading fails.
    bool present();
    bool isLoaded() const { return loaded; }

protected:
    using QWidget::QWidget;
    // Brings the window to its state right after creation. Returns false when
    // that is impossible; the reason has been reported by then.
    virtual bool load() = 0;
    virtual void unload() {}
    void closeEvent(QCloseEvent* event) override;

private:
    bool loaded = false;
};

}  // namespace moravik::ui

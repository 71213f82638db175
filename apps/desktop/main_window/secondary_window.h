#pragma once

#include <QWidget>
#include <optional>

namespace moravik::ui {

// A window that the main window creates on first use and keeps for the whole
// run. Its close box unloads it; the next present() loads it again. Hiding it
// keeps it loaded, so it comes back as it was.
class SecondaryWindow : public QWidget {
    Q_OBJECT
public:
    // Loads the window unless it is loaded, then shows it in front, restored
    // if it was minimised. The window stays hidden when loading fails.
    void present();

protected:
    // A window with a design position has its client area placed there
    // whenever it is loaded; others go where the platform puts new windows.
    explicit SecondaryWindow(std::optional<QPoint> designPosition = std::nullopt);
    // Brings the window to its state right after creation. Returns false when
    // that is impossible; the reason has been reported by then.
    virtual bool load();
    virtual void unload() {}
    void closeEvent(QCloseEvent* event) override;

private:
    const std::optional<QPoint> designPosition;
    bool loaded = false;
};

}  // namespace moravik::ui

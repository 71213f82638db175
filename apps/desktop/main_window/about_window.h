#pragma once

#include <QScopedPointer>

#include "secondary_window.h"

namespace Ui {
class Form6;
}

namespace moravik::ui {

// The About window, the design's Form6 (its object name): version, credit and
// contact lines, and "Back".
class AboutWindow final : public SecondaryWindow {
    Q_OBJECT
public:
    AboutWindow();
    ~AboutWindow() override;

private:
    void Command1_Click();

    const QScopedPointer<Ui::Form6> ui;
};

}  // namespace moravik::ui

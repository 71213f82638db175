#pragma once

#include <QScopedPointer>

#include "secondary_window.h"

namespace Ui {
class Form6;
}

namespace moravik::ui {

// The About window: version, credit and contact lines, and "Back".
class Form6 final : public SecondaryWindow {
    Q_OBJECT
public:
    Form6();
    ~Form6() override;

private:
    void Command1_Click();

    const QScopedPointer<Ui::Form6> ui;
};

}  // namespace moravik::ui

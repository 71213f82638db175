#pragma once

#include <QScopedPointer>

#include "secondary_window.h"
#include "services.h"

namespace Ui {
class Form5;
}

namespace moravik::ui {

// The support window, the design's Form5 (its object name): an appeal for a
// payment and a link to the payment page.
class SupportWindow final : public SecondaryWindow {
    Q_OBJECT
public:
    explicit SupportWindow(Services services);
    ~SupportWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Label3_Click();

    const QScopedPointer<Ui::Form5> ui;
    const Services services;
};

}  // namespace moravik::ui

#pragma once

#include <QScopedPointer>

#include "secondary_window.h"
#include "services.h"

namespace Ui {
class Form5;
}

namespace moravik::ui {

// The support window: an appeal for a payment and a link to the payment page.
class Form5 final : public SecondaryWindow {
    Q_OBJECT
public:
    explicit Form5(Services services);
    ~Form5() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Label3_Click();

    const QScopedPointer<Ui::Form5> ui;
    const Services services;
};

}  // namespace moravik::ui

#include "support_window.h"

#include <QMouseEvent>
#include <QUrl>

#include "contact.h"
#include "ui_Form5.h"

namespace moravik::ui {
// The design places the client area at 279, 248 on the screen.
SupportWindow::SupportWindow(Services services)
    : SecondaryWindow(QPoint(279, 248)), ui(new Ui::Form5), services(services) {
    ui->setupUi(this);
    ui->Label3->setText(ui->Label3->text() + QString::fromUtf8(desktop::contact::paymentEmail));
    ui->Label3->installEventFilter(this);
}

SupportWindow::~SupportWindow() = default;

// A label has no click signal; a left-button release over it counts as a click.
bool SupportWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label3 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            ui->Label3->rect().contains(mouse->position().toPoint())) {
            Label3_Click();
            return true;
        }
    }
    return SecondaryWindow::eventFilter(watched, event);
}

void SupportWindow::Label3_Click() {
    if (openInBrowser(services, this, QUrl(QString::fromUtf8(desktop::contact::paymentUrl))))
        hide();
}

}  // namespace moravik::ui

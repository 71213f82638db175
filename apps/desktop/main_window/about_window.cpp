#include "about_window.h"

#include <QPushButton>

#include "contact.h"
#include "ui_Form6.h"

namespace moravik::ui {
// The design places the client area at 262, 196 on the screen.
AboutWindow::AboutWindow() : SecondaryWindow(QPoint(262, 196)), ui(new Ui::Form6) {
    ui->setupUi(this);
    ui->Label1->setText(QString::fromUtf8(desktop::contact::credit));
    ui->Label3->setText(QString::fromUtf8(desktop::contact::website));
    ui->Label4->setText(ui->Label4->text() + QStringLiteral("     ") +
                        QString::fromUtf8(desktop::contact::contactEmail));
    connect(ui->Command1, &QPushButton::clicked, this, &AboutWindow::Command1_Click);
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::Command1_Click() { hide(); }

}  // namespace moravik::ui

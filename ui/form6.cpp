#include "form6.h"

#include <QPushButton>

#include "contact.h"
#include "ui_Form6.h"

namespace moravik::ui {
// The design places the client area at 262, 196 on the screen.
Form6::Form6() : SecondaryWindow(QPoint(262, 196)), ui(new Ui::Form6) {
    ui->setupUi(this);
    ui->Label1->setText(QString::fromUtf8(contact::credit));
    ui->Label3->setText(QString::fromUtf8(contact::website));
    ui->Label4->setText(ui->Label4->text() + QStringLiteral("     ") +
                        QString::fromUtf8(contact::contactEmail));
    connect(ui->Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
}

Form6::~Form6() = default;

void Form6::Command1_Click() { hide(); }

}  // namespace moravik::ui

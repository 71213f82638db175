#include "form6.h"

#include <QPushButton>

#include "contact.h"
#include "ui_Form6.h"

namespace moravik::ui {
namespace {

// Where the design puts the window's client area on the screen.
constexpr QPoint designPosition{262, 196};

}  // namespace

Form6::Form6() : ui(new Ui::Form6) {
    ui->setupUi(this);
    ui->Label1->setText(QString::fromUtf8(contact::credit));
    ui->Label3->setText(QString::fromUtf8(contact::website));
    ui->Label4->setText(ui->Label4->text() + QStringLiteral("     ") +
                        QString::fromUtf8(contact::contactEmail));
    connect(ui->Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
}

Form6::~Form6() = default;

bool Form6::load() {
    setGeometry(QRect(designPosition, size()));
    return true;
}

void Form6::Command1_Click() { hide(); }

}  // namespace moravik::ui

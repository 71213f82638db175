#include "about_dialog.h"

#include <QCoreApplication>
#include <QPushButton>

#include "contact.h"
#include "ui_AboutDialog.h"

namespace moravik::raceday_window {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), ui(new Ui::AboutDialog) {
    ui->setupUi(this);
    QFont title = ui->programName->font();
    title.setPixelSize(title.pixelSize() * 2);
    title.setBold(true);
    ui->programName->setFont(title);
    ui->version->setText(tr("Version %1").arg(QCoreApplication::applicationVersion()));
    ui->credit->setText(QStringLiteral("© ") +
                        QString::fromUtf8(moravik::desktop::contact::credit));
    ui->website->setText(
        tr("Web site: %1").arg(QString::fromUtf8(moravik::desktop::contact::website)));
    ui->contact->setText(
        tr("Contact: %1").arg(QString::fromUtf8(moravik::desktop::contact::contactEmail)));
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

AboutDialog::~AboutDialog() = default;

}  // namespace moravik::raceday_window

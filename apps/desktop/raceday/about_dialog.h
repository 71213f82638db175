// Help → About: what Race Day is, its version and whom to contact.
#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class AboutDialog;
}

namespace moravik::raceday_window {

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

private:
    const QScopedPointer<Ui::AboutDialog> ui;
};

}  // namespace moravik::raceday_window

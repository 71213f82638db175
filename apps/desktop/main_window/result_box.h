#pragma once

#include <QLineEdit>

namespace moravik::ui {

// A read-only box for one result. Results are wider than their boxes and are
// read from the left, so the box shows the start of its text when focus
// enters or leaves it and when its whole text is selected (Tab and Ctrl+A
// select it all for copying). Arrow keys and End still reveal the rest.
class ResultBox final : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showStart();
};

}  // namespace moravik::ui

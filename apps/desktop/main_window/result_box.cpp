#include "result_box.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace moravik::ui {

// A line edit scrolls so that its cursor is visible, and selecting the whole
// text puts the cursor at the end. Selecting it from the end backwards keeps
// the selection and leaves the cursor, and so the view, at the start.
void ResultBox::showStart() {
    const qsizetype length = text().size();
    if (length > 0 && selectedText().size() == length)
        setSelection(int(length), -int(length));
    else
        setCursorPosition(0);
}

void ResultBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // A click places the cursor where the user pointed, which is in view.
    if (event->reason() != Qt::MouseFocusReason) showStart();
}

void ResultBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu takes the focus while its Copy still needs the selection.
    if (event->reason() != Qt::PopupFocusReason) showStart();
}

void ResultBox::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    if (event->matches(QKeySequence::SelectAll)) showStart();
}

}  // namespace moravik::ui

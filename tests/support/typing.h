// Typing into the windows' fields as a user would.
#pragma once

#include <QTest>
#include <QWidget>

namespace moravik::test_support {

// Replaces a field's text by typing, as a user would after selecting it all.
inline void typeInto(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

}  // namespace moravik::test_support

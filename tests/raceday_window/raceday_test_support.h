// Helpers that drive the Race Day window with keys as a user would.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "log_store.h"
#include "prepared_messages.h"
#include "race_day_window.h"
#include "services.h"
#include "typing.h"

namespace moravik::raceday_window::testing {

using test_support::typeInto;

// Settings in Qt's test location, and the application named as the program names it.
inline void setUpTestApplication() {
    QStandardPaths::setTestModeEnabled(true);
    setUpApplication(*qApp);
}

// Answers the save dialog with a prepared name and records that it asked.
struct PreparedFileChooser final : FileChooser {
    QString answer;
    int asked = 0;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        ++asked;
        return answer;
    }
    QString openFileName(QWidget*, const QString&, const QString&) override {
        ++asked;
        return answer;
    }
};

// Whether a combo box has room for the whole of an item's text beside its arrow.
inline bool showsWhole(const QComboBox* box, const QString& itemText) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, box);
    return box->fontMetrics().horizontalAdvance(itemText) <= field.width();
}

// Access keys two visible labels, buttons or boxes under `root` share: "d: &Date, Humi&dity".
inline QStringList accessKeyClashes(const QWidget* root) {
    QMap<QChar, QStringList> owners;
    for (const QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root)) continue;
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(widget)) text = label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            text = button->text();
        if (const auto* box = qobject_cast<const QGroupBox*>(widget)) text = box->title();
        const QString plain = QString(text).replace(QLatin1String("&&"), QString());
        const qsizetype mark = plain.indexOf(QLatin1Char('&'));
        if (mark >= 0 && mark + 1 < plain.size()) owners[plain[mark + 1].toLower()] << text;
    }
    QStringList clashes;
    for (auto owner = owners.cbegin(); owner != owners.cend(); ++owner) {
        if (owner.value().size() > 1)
            clashes << QString(owner.key()) + QStringLiteral(": ") + owner.value().join(", ");
    }
    return clashes;
}

// A QTest table whose rows are structs with a `name`, one column each: the cases read as rows.
template <class Row>
void addRows(std::initializer_list<Row> rows) {
    QTest::addColumn<Row>("row");
    for (const Row& row : rows) QTest::newRow(qPrintable(QString(row.name))) << row;
}

template <class Widget = QWidget>
Widget* child(const QObject* parent, const QString& name) {
    auto* found = parent->findChild<Widget*>(name);
    if (found == nullptr) qFatal("no child named %s", qPrintable(name));
    return found;
}

inline QString text(const QObject* parent, const QString& name) {
    return child<QLineEdit>(parent, name)->text();
}

inline void typeInto(const QObject* parent, const QString& name, const QString& text) {
    typeInto(child(parent, name), text);
}

// Picks the item whose text is `choice` with the arrow keys.
inline void choose(QComboBox* box, const QString& choice) {
    box->setFocus();
    const int target = box->findText(choice);
    if (target < 0) qFatal("no item %s", qPrintable(choice));
    while (box->currentIndex() != target)
        QTest::keyClick(box, box->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
}

inline void choose(const QObject* parent, const QString& name, const QString& choice) {
    choose(child<QComboBox>(parent, name), choice);
}

// The field at "field" or "form/field" inside `parent`.
inline QWidget* fieldAt(const QObject* parent, const QString& path) {
    return child(path.contains('/') ? child(parent, path.section('/', 0, 0)) : parent,
                 path.section('/', -1));
}

// Fills in a form as a racer would: "field=text" or "form/field=text" types into a field; a
// choice box takes the item that is, or else starts with, the text.
inline void fill(const QObject* parent, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString typed = entry.section('=', 1);
        auto* field = fieldAt(parent, entry.section('=', 0, 0));
        if (auto* box = qobject_cast<QComboBox*>(field); box && !box->isEditable()) {
            const int exact = box->findText(typed);
            choose(box,
                   box->itemText(exact >= 0 ? exact : box->findText(typed, Qt::MatchStartsWith)));
        } else {
            typeInto(field, typed);
        }
    }
}

// What the fields of "field=..." entries show, as "field=text": a choice box its choice.
inline QStringList readBack(const QObject* parent, const QStringList& entries) {
    QStringList texts;
    for (const QString& entry : entries) {
        const QString path = entry.section('=', 0, 0);
        const QWidget* field = fieldAt(parent, path);
        const auto* box = qobject_cast<const QComboBox*>(field);
        texts << path + "=" +
                     (box ? box->currentText() : qobject_cast<const QLineEdit*>(field)->text());
    }
    return texts;
}

// Checks that the fields of "field=text" entries show those texts.
inline void expectShown(const QObject* parent, const QStringList& entries) {
    QCOMPARE(readBack(parent, entries), entries);
}

// Fails showing the whole text when it lacks the part.
#define VERIFY_CONTAINS(text, part) \
    QVERIFY2(QString(text).contains(part), qPrintable(QString(text)))

// The window, shown and active, with a run log of its own and `answers` to its questions.
struct RaceDay {
    PreparedFileChooser files;
    desktop::testing::PreparedMessages messages;
    QTemporaryDir logFolder;
    RaceDayWindow window;

    explicit RaceDay(const QString& logPath = {}, const QStringList& answers = {})
        : messages(answers),
          window(
              files, messages,
              logPath.isEmpty() ? logFolder.filePath(QStringLiteral("run-log.sqlite")) : logPath) {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) qFatal("the window is not active");
        // The log's check goes on after the window is up; tests start once it is over.
        const auto* store = window.findChild<LogStore*>();
        if (!QTest::qWaitFor([store] { return !store->checking(); }))
            qFatal("the run log's check did not end");
    }

    // The section with this object name, made the current one.
    QWidget* open(const QString& sectionName) {
        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("sections"));
        QWidget* section = tabs->findChild<QWidget*>(sectionName);
        for (int page = 0; page < tabs->count(); ++page) {
            if (tabs->widget(page)->isAncestorOf(section)) tabs->setCurrentIndex(page);
        }
        return section;
    }
    QString status() const { return window.statusBar()->currentMessage(); }
    QAction* action(const QString& name) const { return child<QAction>(&window, name); }
};

// The weather at which SAE J607 corrects by exactly 1: 60 °F, 29.92 inHg, dry.
inline void typeJ607Day(const QObject* air) {
    fill(air, {"temperature=60F", "pressure=29.92inHg", "humidity=0"});
}

inline void typeJ607Day(RaceDay& raceDay) {
    typeJ607Day(child(raceDay.open(QStringLiteral("AirSection")), QStringLiteral("todaysAir")));
}

// Pastes a text into a field, as a racer pastes a copied report.
inline void pasteInto(QWidget* field, const QString& text) {
    field->setFocus();
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

// The FAA's Aeronautical Information Manual, Fig. 7-1-19 (Key to METAR): 18.2 °C, dew point
// 15.9 °C from the T group, 29.92 inHg.
inline const QString faaKeyMetar = QStringLiteral(
    "METAR KPIT 091955Z COR 22015G25KT 3/4SM R28L/2600FT TSRA OVC010CB 18/16 A2992 RMK SLP045 "
    "T01820159");

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a file anew, or with Append after what it holds.
inline bool writeFile(const QString& path, const QByteArray& bytes,
                      QIODevice::OpenMode mode = QIODevice::WriteOnly) {
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

// An output box as a number, for published values given to a few digits.
inline double number(const QObject* parent, const QString& name) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text(parent, name), &ok);
    if (!ok) qWarning("%s shows %s", qPrintable(name), qPrintable(text(parent, name)));
    return value;
}

}  // namespace moravik::raceday_window::testing

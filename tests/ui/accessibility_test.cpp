// What a screen reader says for the main window's fields, buttons and menu
// entries, read through QAccessible as a screen reader reads it.
#include <QAccessible>
#include <QComboBox>
#include <QMenu>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

struct AccessibleField {
    const char* name;
    const char* spoken;
};

// Each input and single result with its unit, where it has one.
const AccessibleField fields[] = {
    {"njt", "Nitrous jet size, inches"},
    {"flp", "Fuel pressure, psi"},
    {"nbp", "Nitrous bottle pressure, psi"},
    {"jtn", "Number of nozzles"},
    {"vweight", "Vehicle weight with driver, pounds"},
    {"draghp", "Engine horsepower"},
    {"altitudeDD", "Altitude, drag strip and its height in feet"},
    {"TextBox1", "Fuel jet size, inches"},
    {"Textbox2", "Fuel flow test, standard jet size, inches"},
    {"Textbox5", "Fuel flow test, Holley jet number"},
    {"TextBox3", "Calculated nitrous horsepower"},
    {"Textbox4", "Nitrous horsepower to the wheels"},
    {"Totalhp", "Total horsepower with nitrous"},
    {"TotalHPn", "Horsepower with nitrous to the wheels"},
};

// Each formula's six boxes, in the writing order, say their formula and column.
const char* const formulas[] = {"Huntington formula", "Fox formula", "Hale formula",
                                "Lucius-RoadTrack (LRT) formula"};
const char* const columns[] = {
    "estimated 1/4 mile time, seconds",         "estimated 1/4 mile time with nitrous, seconds",
    "altitude adjusted 1/4 mile time, seconds", "altitude adjusted speed, miles per hour",
    "estimated speed, miles per hour",          "estimated speed with nitrous, miles per hour"};

QList<std::pair<QString, QString>> spokenFields() {
    QList<std::pair<QString, QString>> spoken;
    for (const AccessibleField& field : fields) spoken.emplaceBack(field.name, field.spoken);
    for (std::size_t i = 0; i + moravik::singleResultCount < moravik::resultFieldCount; ++i)
        spoken.emplaceBack(
            QString::fromUtf8(moravik::resultFieldNames[moravik::singleResultCount + i]),
            QString("%1, %2").arg(formulas[i / 6], columns[i % 6]));
    return spoken;
}

// A field's or button's name as a screen reader speaks it. Qt on Linux names a combo box
// by its current text, as the platform expects, and screen readers then speak
// the name of the label that the box is labelled by.
QString spokenFieldName(QObject* field) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
    if (!accessible) return "(not accessible)";
    const QString name = accessible->text(QAccessible::Name);
    if (accessible->role() != QAccessible::ComboBox || name != accessible->text(QAccessible::Value))
        return name;
    const auto labels = accessible->relations(QAccessible::Label);
    return labels.isEmpty() ? "(no label)" : labels.first().first->text(QAccessible::Name);
}

QStringList spokenChildren(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    QStringList names;
    for (int i = 0; accessible && i < accessible->childCount(); ++i)
        names.append(accessible->child(i)->text(QAccessible::Name));
    return names;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::desktop::applyDesignLook(*qApp); }

    void everyFieldSaysWhatItHolds() {
        App main;
        main.find<QComboBox>("altitudeDD")->setCurrentIndex(6);
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        QStringList wrong;
        const auto expected = spokenFields();
        for (const auto& [name, spoken] : expected)
            if (const QString said = spokenFieldName(main.find(name)); said != spoken)
                wrong.append(QString("%1: \"%2\"").arg(name, said));
        QCOMPARE(wrong.join("; "), QString());
        QCOMPARE(expected.size(), moravik::resultFieldCount + 7);
    }

    void buttonsAndMenuEntriesSayWhatTheyDo() {
        App main;
        QCOMPARE(spokenFieldName(main.find("cal")), "Calculate");
        QCOMPARE(spokenFieldName(main.find("cmdexit")), "Exit");
        QCOMPARE(spokenChildren(main.window.menuBar()),
                 QStringList({"Help", "About", "Shareware"}));
        QCOMPARE(spokenChildren(main.find<QMenu>("help")),
                 QStringList({"Field Inputs", "Nitrous 101", "FAQ"}));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"

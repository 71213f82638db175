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

// Each input and result field with its formula and unit, where it has them.
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
    {"huntet", "Huntington formula, estimated 1/4 mile time, seconds"},
    {"huntetn", "Huntington formula, estimated 1/4 mile time with nitrous, seconds"},
    {"huntmph", "Huntington formula, estimated speed, miles per hour"},
    {"huntmphn", "Huntington formula, estimated speed with nitrous, miles per hour"},
    {"huntalt", "Huntington formula, altitude adjusted 1/4 mile time, seconds"},
    {"HuntaltMPH", "Huntington formula, altitude adjusted speed, miles per hour"},
    {"foxet", "Fox formula, estimated 1/4 mile time, seconds"},
    {"foxetn", "Fox formula, estimated 1/4 mile time with nitrous, seconds"},
    {"foxmph", "Fox formula, estimated speed, miles per hour"},
    {"foxmphn", "Fox formula, estimated speed with nitrous, miles per hour"},
    {"foxalt", "Fox formula, altitude adjusted 1/4 mile time, seconds"},
    {"FoxAltMPH", "Fox formula, altitude adjusted speed, miles per hour"},
    {"haleet", "Hale formula, estimated 1/4 mile time, seconds"},
    {"haleetn", "Hale formula, estimated 1/4 mile time with nitrous, seconds"},
    {"halemph", "Hale formula, estimated speed, miles per hour"},
    {"halemphn", "Hale formula, estimated speed with nitrous, miles per hour"},
    {"halealt", "Hale formula, altitude adjusted 1/4 mile time, seconds"},
    {"HaleAltMPH", "Hale formula, altitude adjusted speed, miles per hour"},
    {"lrtet", "Lucius-RoadTrack (LRT) formula, estimated 1/4 mile time, seconds"},
    {"lrtetn", "Lucius-RoadTrack (LRT) formula, estimated 1/4 mile time with nitrous, seconds"},
    {"lrtmph", "Lucius-RoadTrack (LRT) formula, estimated speed, miles per hour"},
    {"lrtmphn", "Lucius-RoadTrack (LRT) formula, estimated speed with nitrous, miles per hour"},
    {"lrtalt", "Lucius-RoadTrack (LRT) formula, altitude adjusted 1/4 mile time, seconds"},
    {"lrtAltMPH", "Lucius-RoadTrack (LRT) formula, altitude adjusted speed, miles per hour"},
};

QString spokenName(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible ? accessible->text(QAccessible::Name) : "(not accessible)";
}

// A field's name as a screen reader speaks it. Qt on Linux names a combo box
// by its current text, as the platform expects, and screen readers then speak
// the name of the label that the box is labelled by.
QString spokenFieldName(QObject* field) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
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
    void initTestCase() { moravik::ui::applyDesignLook(*qApp); }

    void everyFieldSaysWhatItHolds() {
        App main;
        main.find<QComboBox>("altitudeDD")->setCurrentIndex(6);
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        QStringList wrong;
        for (const AccessibleField& field : fields)
            if (const QString spoken = spokenFieldName(main.find(field.name));
                spoken != field.spoken)
                wrong.append(QString("%1: \"%2\"").arg(field.name, spoken));
        QCOMPARE(wrong.join("; "), QString());
        QCOMPARE(std::size(fields), moravik::resultFieldCount + 7);
    }

    void buttonsAndMenuEntriesSayWhatTheyDo() {
        App main;
        QCOMPARE(spokenName(main.find("cal")), "Calculate");
        QCOMPARE(spokenName(main.find("cmdexit")), "Exit");
        QCOMPARE(spokenChildren(main.window.menuBar()),
                 QStringList({"Help", "About", "Shareware"}));
        QCOMPARE(spokenChildren(main.find<QMenu>("help")),
                 QStringList({"Field Inputs", "Nitrous 101", "FAQ"}));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"

// The main window driven by keys and clicks: Calculate, faults, focus order,
// and the ways to end the application.
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>

#include "moravik/calculate.h"
#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QStringList altitudeFields{"huntalt",    "foxalt",    "halealt",    "lrtalt",
                                 "HuntaltMPH", "FoxAltMPH", "HaleAltMPH", "lrtAltMPH"};

// The texts of all 31 result boxes, keyed by box name.
QMap<QString, QString> resultTexts(const MainWindow& main) {
    QMap<QString, QString> texts;
    for (const std::string_view name : moravik::resultFieldNames) {
        texts[toQString(name)] = main.find<QLineEdit>(toQString(name))->text();
    }
    return texts;
}

// What the engine gives for the window's current input texts.
QMap<QString, QString> engineTexts(const MainWindow& main) {
    moravik::InputTexts inputs;
    inputs.njt = main.find<QLineEdit>("njt")->text().toStdString();
    inputs.flp = main.find<QLineEdit>("flp")->text().toStdString();
    inputs.nbp = main.find<QLineEdit>("nbp")->text().toStdString();
    inputs.jtn = main.find<QComboBox>("jtn")->currentText().toStdString();
    inputs.draghp = main.find<QLineEdit>("draghp")->text().toStdString();
    inputs.vweight = main.find<QLineEdit>("vweight")->text().toStdString();
    inputs.altitudeDD = main.find<QComboBox>("altitudeDD")->currentText().toStdString();
    const auto outcome = moravik::calculate(inputs);
    QMap<QString, QString> texts;
    if (const auto* results = std::get_if<moravik::ResultTexts>(&outcome)) {
        for (const auto& field : *results) texts[toQString(field.name)] = toQString(field.text);
    }
    return texts;
}

void clickCalculate(const MainWindow& main) {
    QTest::mouseClick(main.find<QPushButton>("cal"), Qt::LeftButton);
}

// Picks a track entry with the arrow keys, as a user would.
void chooseTrackEntry(const MainWindow& main, int entryNumber) {
    auto* tracks = main.find<QComboBox>("altitudeDD");
    tracks->setFocus();
    for (int i = 0; i < entryNumber; ++i) QTest::keyClick(tracks, Qt::Key_Down);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyLook(); }

    // --- Calculate ---

    void startsWithTheDesignTexts() {
        MainWindow main;
        const QMap<QString, QString> inputs{
            {"njt", ".030"}, {"flp", "43"}, {"nbp", "900"}, {"draghp", "210"}, {"vweight", "2562"}};
        for (auto input = inputs.begin(); input != inputs.end(); ++input) {
            QCOMPARE(main.find<QLineEdit>(input.key())->text(), input.value());
        }
        auto* nozzles = main.find<QComboBox>("jtn");
        QCOMPARE(nozzles->currentText(), "1");
        QStringList nozzleItems;
        for (int i = 0; i < nozzles->count(); ++i) nozzleItems.append(nozzles->itemText(i));
        QCOMPARE(nozzleItems, QStringList({"1", "2", "3", "4", "5", "6", "8", "10", "12", "16"}));
        auto* tracks = main.find<QComboBox>("altitudeDD");
        QCOMPARE(tracks->currentIndex(), -1);
        QCOMPARE(tracks->currentText(), "");
        QVERIFY(!tracks->isEditable());
        QCOMPARE(tracks->count(), 59);
        QCOMPARE(tracks->itemText(6), "Denver, CO  5800");
        for (const QString& text : resultTexts(main)) QCOMPARE(text, "");
    }

    void initialTextsGiveTheKnownResults() {
        MainWindow main;
        QStringList writingOrder;
        for (const std::string_view name : moravik::resultFieldNames) {
            auto* box = main.find<QLineEdit>(toQString(name));
            QVERIFY2(box, name.data());
            QVERIFY(box->isReadOnly());
            QObject::connect(box, &QLineEdit::textChanged, box,
                             [&writingOrder, box] { writingOrder.append(box->objectName()); });
        }

        clickCalculate(main);

        const auto texts = resultTexts(main);
        const QStringList firstSeven{" .017",      " .017",       " 40.64508", " 34.548318",
                                     " 250.64508", " 213.048318", " 0"};
        for (int i = 0; i < firstSeven.size(); ++i) {
            QCOMPARE(texts[toQString(moravik::resultFieldNames[std::size_t(i)])], firstSeven[i]);
        }
        for (const QString& field : altitudeFields) QCOMPARE(texts[field], " 0");
        QCOMPARE(texts, engineTexts(main));
        QStringList expectedOrder;
        for (const std::string_view name : moravik::resultFieldNames)
            expectedOrder.append(toQString(name));
        QCOMPARE(writingOrder, expectedOrder);
        QVERIFY(main.messages.messages.isEmpty());
    }

    void denverEntriesAdjustForAltitude_data() {
        QTest::addColumn<int>("entryNumber");
        QTest::newRow("entry 7, under Comp") << 7;
        QTest::newRow("entry 37, under Stock") << 37;
    }
    void denverEntriesAdjustForAltitude() {
        QFETCH(int, entryNumber);
        MainWindow main;
        chooseTrackEntry(main, entryNumber);
        QCOMPARE(main.find<QComboBox>("altitudeDD")->currentText(), "Denver, CO  5800");
        QCOMPARE(resultTexts(main)["huntalt"], "");  // choosing a track computes nothing

        clickCalculate(main);

        const QMap<QString, double> expected{{"huntalt", 13.4317},     {"foxalt", 13.3869},
                                             {"halealt", 12.4387},     {"lrtalt", 13.1112},
                                             {"HuntaltMPH", 105.2930}, {"FoxAltMPH", 107.6329},
                                             {"HaleAltMPH", 109.5047}, {"lrtAltMPH", 108.0446}};
        const auto texts = resultTexts(main);
        for (auto field = expected.begin(); field != expected.end(); ++field) {
            bool isNumber = false;
            const double value = texts[field.key()].toDouble(&isNumber);
            QVERIFY2(isNumber, qPrintable(field.key()));
            QVERIFY2(qAbs(value - field.value()) < 0.00005,
                     qPrintable(field.key() + texts[field.key()]));
        }
        QCOMPARE(texts, engineTexts(main));
    }

    void typedNozzleCountIsRead() {
        MainWindow main;
        auto* nozzles = main.find<QComboBox>("jtn");
        typeInto(nozzles, "7");
        QTest::keyClick(nozzles, Qt::Key_Return);
        QCOMPARE(nozzles->currentText(), "7");
        QCOMPARE(nozzles->count(), 10);

        clickCalculate(main);

        QCOMPARE(resultTexts(main), engineTexts(main));
        QVERIFY(resultTexts(main)["Textbox2"] != " .017");
    }

    void resultBoxesRefuseTyping() {
        MainWindow main;
        QVERIFY(main.isActive());
        clickCalculate(main);
        auto* fuelJet = main.find<QLineEdit>("TextBox1");
        fuelJet->setFocus();
        QTest::keyClicks(fuelJet, "99");
        QTest::keyClick(fuelJet, Qt::Key_Backspace);
        QCOMPARE(fuelJet->text(), " .017");
        QVERIFY(fuelJet->hasFocus());
    }

    void faultLeavesEveryResultAsItWas_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty fuel pressure") << "flp"
                                             << ""
                                             << "Division by zero";
        QTest::newRow("letters as weight") << "vweight"
                                           << "heavy"
                                           << "Division by zero";
        QTest::newRow("bottle pressure beyond 16 bits") << "nbp"
                                                        << "32767.5"
                                                        << "Overflow";
        QTest::newRow("pressures of opposite signs") << "flp"
                                                     << "-43"
                                                     << "Invalid argument";
        QTest::newRow("negative nozzle count") << "jtn"
                                               << "-2"
                                               << "Invalid argument";
    }
    void faultLeavesEveryResultAsItWas() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, kind);
        MainWindow main;
        QWidget* input = main.find(field);
        const QString goodText = field == "jtn" ? main.find<QComboBox>(field)->currentText()
                                                : main.find<QLineEdit>(field)->text();

        // A fault before any good pass leaves the boxes empty.
        typeInto(input, text);
        clickCalculate(main);
        QCOMPARE(main.messages.messages.size(), 1);
        QVERIFY2(main.messages.messages.last().startsWith(kind),
                 qPrintable(main.messages.messages.last()));
        for (const QString& result : resultTexts(main)) QCOMPARE(result, "");

        // After a good pass, a fault keeps that pass's texts.
        typeInto(input, goodText);
        clickCalculate(main);
        const auto goodResults = resultTexts(main);
        QCOMPARE(goodResults, engineTexts(main));
        typeInto(input, text);
        clickCalculate(main);
        QCOMPARE(main.messages.messages.size(), 2);
        QVERIFY(main.messages.messages.last().startsWith(kind));
        QCOMPARE(resultTexts(main), goodResults);
        QVERIFY(main.window.isVisible());

        // A later good pass fills every box again.
        typeInto(input, goodText);
        typeInto(main.find("draghp"), "300");
        clickCalculate(main);
        QCOMPARE(main.messages.messages.size(), 2);
        QCOMPARE(resultTexts(main), engineTexts(main));
        QVERIFY(resultTexts(main)["Totalhp"] != goodResults["Totalhp"]);
    }

    // --- Focus and exit ---

    void tabWalksTheDesignOrder() {
        MainWindow main;
        QVERIFY(main.isActive());
        const QStringList order{
            "cmdexit",    "cal",       "jtn",        "nbp",       "flp",      "njt",
            "Textbox2",   "Textbox5",  "TextBox1",   "vweight",   "draghp",   "huntet",
            "huntalt",    "Textbox4",  "TextBox3",   "Totalhp",   "foxalt",   "foxet",
            "halealt",    "haleet",    "lrtalt",     "lrtet",     "huntmph",  "foxmph",
            "lrtmph",     "halemph",   "huntetn",    "huntmphn",  "halemphn", "haleetn",
            "foxmphn",    "foxetn",    "lrtmphn",    "lrtetn",    "TotalHPn", "altitudeDD",
            "HuntaltMPH", "FoxAltMPH", "HaleAltMPH", "lrtAltMPH", "cmdexit"};
        for (const QString& name : order) {
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    void keysEndTheApplication_data() {
        QTest::addColumn<QString>("focusOn");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<bool>("calculates");
        QTest::newRow("Enter on Exit") << "cmdexit" << int(Qt::Key_Enter) << 0 << true << false;
        QTest::newRow("Return on Exit") << "cmdexit" << int(Qt::Key_Return) << 0 << true << false;
        QTest::newRow("Space on Exit") << "cmdexit" << int(Qt::Key_Space) << 0 << true << false;
        QTest::newRow("Alt+X in an input")
            << "njt" << int(Qt::Key_X) << int(Qt::AltModifier) << true << false;
        QTest::newRow("Alt+X in a result")
            << "lrtAltMPH" << int(Qt::Key_X) << int(Qt::AltModifier) << true << false;
        QTest::newRow("Enter on Calculate") << "cal" << int(Qt::Key_Return) << 0 << false << true;
        QTest::newRow("Enter in an input: no default button")
            << "njt" << int(Qt::Key_Return) << 0 << false << false;
        QTest::newRow("Escape: no cancel button")
            << "cmdexit" << int(Qt::Key_Escape) << 0 << false << false;
    }
    void keysEndTheApplication() {
        QFETCH(QString, focusOn);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, ends);
        QFETCH(bool, calculates);
        MainWindow main;
        QVERIFY(main.isActive());
        QCOMPARE(QApplication::focusWidget(), main.find("cmdexit"));
        QSignalSpy exits(&main.window, &moravik::ui::Form1::exitRequested);
        QWidget* target = main.find(focusOn);
        target->setFocus();

        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        // A mnemonic presses its button visibly, so its click comes a moment later.
        if (ends) {
            QTRY_COMPARE(exits.size(), 1);
        } else {
            QTest::qWait(250);
            QCOMPARE(exits.size(), 0);
        }
        QCOMPARE(resultTexts(main)["TextBox1"], calculates ? " .017" : "");
    }

    void closeBoxEndsTheApplication() {
        MainWindow main;
        QVERIFY(chooseMenu(main.window, "About"));
        QVERIFY(visibleTopLevel("Form6"));
        QSignalSpy exits(&main.window, &moravik::ui::Form1::exitRequested);

        QVERIFY(main.window.close());

        QCOMPARE(exits.size(), 1);
        QVERIFY(!visibleTopLevel("Form6"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

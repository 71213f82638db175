#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>
#include <functional>
#include <string>

#include "moravik/rtf/parser.h"
#include "moravik/rtf/qt_document.h"
#include "rtf_test_support.h"

namespace moravik::rtf {
namespace {

void build(const std::string& rtf, QTextDocument& document) {
    const ParseResult result = parse(rtf);
    ASSERT_TRUE(result.ok()) << result.error;
    buildDocument(result.document, document);
}

// The character format of the fragment that holds `text`.
QTextCharFormat formatOf(const QTextDocument& document, const QString& text) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(text)) return it.fragment().charFormat();
        }
    }
    ADD_FAILURE() << "no fragment '" << text.toStdString() << "'";
    return {};
}

TEST(Builder, ParagraphsBecomeBlocksWithTheirFormat) {
    QTextDocument document;
    document.setPlainText("old content");
    const ParseResult result = parse(testing::withTables(
        "\\qc Title\\par\\pard\\li1440\\ri720\\fi-360\\sb300\\sa150 Line\\line two\\tab end\\par"
        "\\pard\\qr\\par\\qj Last"));
    ASSERT_TRUE(result.ok());
    buildDocument(result.document, document);

    ASSERT_EQ(document.blockCount(), 4);
    const QTextBlock title = document.firstBlock();
    EXPECT_EQ(title.text(), "Title");
    EXPECT_EQ(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlock indented = title.next();
    EXPECT_EQ(indented.text(), QString("Line") + QChar::LineSeparator + "two\tend");
    EXPECT_DOUBLE_EQ(indented.blockFormat().leftMargin(), 96.0);  // one inch
    EXPECT_DOUBLE_EQ(indented.blockFormat().rightMargin(), 48.0);
    EXPECT_DOUBLE_EQ(indented.blockFormat().textIndent(), -24.0);
    EXPECT_DOUBLE_EQ(indented.blockFormat().topMargin(), 20.0);
    EXPECT_DOUBLE_EQ(indented.blockFormat().bottomMargin(), 10.0);
    EXPECT_EQ(indented.next().text(), "");
    EXPECT_EQ(indented.next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(document.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignJustify);
    EXPECT_FALSE(document.isUndoAvailable()) << "loading is no edit to undo";
}

TEST(Builder, TableRowsBecomeOneTable) {
    QTextDocument document;
    build(testing::withTables(
              "Before\\par\\trowd\\cellx1440\\cellx4320\\pard\\intbl "
              "Jet\\cell {\\b HP}\\cell\\row\\trowd\\cellx1440\\cellx4320\\pard\\intbl "
              "0.062\\cell 100\\line net\\cell\\row\\pard After\\par"),
          document);
    QTextTable* table = nullptr;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        table = qobject_cast<QTextTable*>(frame);
    }
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rows(), 2);
    ASSERT_EQ(table->columns(), 2);
    const auto cellText = [&](int row, int column) {
        QTextCursor cursor = table->cellAt(row, column).firstCursorPosition();
        cursor.setPosition(table->cellAt(row, column).lastCursorPosition().position(),
                           QTextCursor::KeepAnchor);
        return cursor.selectedText();
    };
    EXPECT_EQ(cellText(0, 0), "Jet");
    EXPECT_EQ(cellText(0, 1), "HP");
    EXPECT_EQ(cellText(1, 0), "0.062");
    EXPECT_EQ(cellText(1, 1), QString("100") + QChar::LineSeparator + "net");
    EXPECT_EQ(formatOf(document, "HP").fontWeight(), QFont::Bold);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), 96.0);
    EXPECT_DOUBLE_EQ(widths[1].rawValue(), 192.0);
    EXPECT_EQ(document.firstBlock().text(), "Before");
    EXPECT_EQ(document.lastBlock().text(), "After");
}

TEST(Builder, HangingIndentGetsATabStop) {
    QTextDocument document;
    build(testing::withTables("\\li720\\fi-360\\tx2880 1.\\tab Item\\par"), document);
    const QList<QTextOption::Tab> tabs = document.firstBlock().blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    // Measured from where the first line begins, 360 twips (24 pixels) left of the indent.
    EXPECT_DOUBLE_EQ(tabs[0].position, 24.0);
    EXPECT_DOUBLE_EQ(tabs[1].position, (2880 - 360) / 15.0);
}

struct QtFormatCase {
    const char* name;
    std::string body;  // formats the text "x"
    std::function<void(const QTextCharFormat&)> check;
};

void PrintTo(const QtFormatCase& c, std::ostream* out) { *out << c.name; }

class QtCharFormatTest : public ::testing::TestWithParam<QtFormatCase> {};

TEST_P(QtCharFormatTest, CarriesTheFormat) {
    QTextDocument document;
    build(testing::withTables("{" + GetParam().body + "}y"), document);
    GetParam().check(formatOf(document, "x"));
    const QTextCharFormat plain = formatOf(document, "y");
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_FALSE(plain.isAnchor());
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_DOUBLE_EQ(plain.fontPointSize(), 12.0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, QtCharFormatTest,
    ::testing::Values(
        QtFormatCase{"Bold", "\\b x",
                     [](const QTextCharFormat& f) { EXPECT_EQ(f.fontWeight(), QFont::Bold); }},
        QtFormatCase{"Italic", "\\i x",
                     [](const QTextCharFormat& f) { EXPECT_TRUE(f.fontItalic()); }},
        QtFormatCase{"Underline", "\\ul x",
                     [](const QTextCharFormat& f) { EXPECT_TRUE(f.fontUnderline()); }},
        QtFormatCase{"StrikeOut", "\\strike x",
                     [](const QTextCharFormat& f) { EXPECT_TRUE(f.fontStrikeOut()); }},
        QtFormatCase{"Size", "\\fs21 x",
                     [](const QTextCharFormat& f) { EXPECT_DOUBLE_EQ(f.fontPointSize(), 10.5); }},
        QtFormatCase{"Family", "\\f3 x",
                     [](const QTextCharFormat& f) {
                         EXPECT_EQ(f.fontFamilies().toStringList(), QStringList{"Courier New"});
                     }},
        QtFormatCase{
            "Color", "\\cf1 x",
            [](const QTextCharFormat& f) { EXPECT_EQ(f.foreground().color(), QColor(255, 0, 0)); }},
        QtFormatCase{
            "Highlight", "\\highlight2 x",
            [](const QTextCharFormat& f) { EXPECT_EQ(f.background().color(), QColor(0, 0, 255)); }},
        QtFormatCase{"Superscript", "\\super x",
                     [](const QTextCharFormat& f) {
                         EXPECT_EQ(f.verticalAlignment(), QTextCharFormat::AlignSuperScript);
                     }},
        QtFormatCase{"Subscript", "\\sub x",
                     [](const QTextCharFormat& f) {
                         EXPECT_EQ(f.verticalAlignment(), QTextCharFormat::AlignSubScript);
                     }},
        QtFormatCase{"Link",
                     "\\field{\\*\\fldinst HYPERLINK \"https://example.com/\"}{\\fldrslt x}",
                     [](const QTextCharFormat& f) {
                         EXPECT_TRUE(f.isAnchor());
                         EXPECT_EQ(f.anchorHref(), "https://example.com/");
                         EXPECT_TRUE(f.fontUnderline());
                         EXPECT_TRUE(f.hasProperty(QTextFormat::ForegroundBrush));
                     }},
        QtFormatCase{"LocalFileIsNoLink",
                     "\\field{\\*\\fldinst HYPERLINK \"file:///etc/passwd\"}{\\fldrslt x}",
                     [](const QTextCharFormat& f) {
                         EXPECT_FALSE(f.isAnchor());
                         EXPECT_TRUE(f.anchorHref().isEmpty());
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

class LoadFileTest : public ::testing::Test {
public:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir folder;
    QTextDocument document;
};

TEST_F(LoadFileTest, ReplacesTheContentWithTheDocument) {
    document.setPlainText("before");
    const QString path = write("help.rtf", "{\\rtf1\\ansi {\\b Nitrous} 101\\par Second}");
    EXPECT_EQ(loadFile(path, document), "");
    EXPECT_EQ(document.toPlainText(), "Nitrous 101\nSecond");
    EXPECT_EQ(formatOf(document, "Nitrous").fontWeight(), QFont::Bold);
}

TEST_F(LoadFileTest, ReadsTheFileAgainEachTime) {
    const QString path = write("help.rtf", "{\\rtf1 First}");
    ASSERT_EQ(loadFile(path, document), "");
    write("help.rtf", "{\\rtf1 Changed}");
    ASSERT_EQ(loadFile(path, document), "");
    EXPECT_EQ(document.toPlainText(), "Changed");
}

TEST_F(LoadFileTest, LeavesTheFileUnchanged) {
    const QByteArray bytes = "{\\rtf1 Text}";
    const QString path = write("help.rtf", bytes);
    ASSERT_EQ(loadFile(path, document), "");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
}

struct FailureCase {
    const char* name;
    std::function<QString(LoadFileTest&)> makePath;
    QString expected;
};

class LoadFileFailureTest : public LoadFileTest,
                            public ::testing::WithParamInterface<FailureCase> {};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

TEST_P(LoadFileFailureTest, ExplainsAndKeepsTheDocument) {
    document.setPlainText("before");
    const QString path = GetParam().makePath(*this);
    EXPECT_EQ(loadFile(path, document), GetParam().expected);
    EXPECT_EQ(document.toPlainText(), "before");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, LoadFileFailureTest,
    ::testing::Values(FailureCase{"Missing",
                                  [](LoadFileTest& t) { return t.folder.filePath("missing.rtf"); },
                                  "the file does not exist"},
                      FailureCase{"Folder", [](LoadFileTest& t) { return t.folder.path(); },
                                  "the file cannot be read"},
                      FailureCase{"Device", [](LoadFileTest&) { return QString("/dev/zero"); },
                                  "the file cannot be read"},
                      FailureCase{"Empty", [](LoadFileTest& t) { return t.write("empty.rtf", ""); },
                                  "the file is empty"},
                      FailureCase{"PictureRenamed",
                                  [](LoadFileTest& t) {
                                      return t.write("picture.rtf",
                                                     QByteArray("\x89PNG\r\n\x1A\n\0\0\0\r", 12));
                                  },
                                  "the file is not a Rich Text Format document"},
                      FailureCase{"TooLarge",
                                  [](LoadFileTest& t) {
                                      // A sparse file: large on paper, nothing written to the disk.
                                      const QString path = t.write("large.rtf", "{\\rtf1 ");
                                      QFile file(path);
                                      EXPECT_TRUE(file.resize(kMaxFileBytes + 1));
                                      return path;
                                  },
                                  "the file is larger than 64 MB"},
                      FailureCase{"TooDeep",
                                  [](LoadFileTest& t) {
                                      return t.write("deep.rtf", "{\\rtf1 " + QByteArray(300, '{'));
                                  },
                                  "the file nests groups more than 256 levels deep"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moravik::rtf

int main(int argc, char** argv) {
    // QTextDocument needs the application's font database.
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

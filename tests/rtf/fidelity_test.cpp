// What documents written by common word processors show: for each, a short snippet in that
// processor's style, and the exact text and formats of the QTextDocument built from it.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <functional>
#include <string>

#include "moravik/rtf/parser.h"
#include "moravik/rtf/qt_document.h"

namespace moravik::rtf {
namespace {

// A 2 x 1 PNG picture, red then blue, in the hexadecimal that Word writes.
QImage twoPixels() {
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 255));
    return image;
}

std::string pngHex(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex().toStdString();
}

// The format of the character at position in document.
QTextCharFormat formatAt(const QTextDocument& document, int position) {
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

struct Snippet {
    const char* writer;
    std::string rtf;
    std::string text;  // QTextDocument::toRawText(): U+2029 between blocks, U+2028 at breaks
    std::function<bool(const QTextDocument&)> formats = [](const QTextDocument&) { return true; };
};

// Symbol's code points are those of Adobe's Symbol encoding (Unicode's
// MAPPINGS/VENDORS/ADOBE/symbol.txt); the code pages' letters those of Microsoft's code page
// charts for 1251 and 1253; 720 twips make a half inch, 48 pixels at 96 dots per inch.
std::vector<Snippet> snippets() {
    const std::string wordPad =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{"
        "\\f0\\fnil\\fcharset0 "
        "Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}}\n{\\*\\generator Riched20 10.0.19041}"
        "\\viewkind4\\uc1 \n\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 ";
    const std::string word =
        "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0{\\fonttbl{\\f0\\froman"
        "\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}{\\f3\\froman"
        "\\fcharset2\\fprq2{\\*\\panose 05050102010706020507}Symbol;}}\\pard\\plain \\f0\\fs24 ";
    return {
        {"WordPad, Symbol bytes", wordPad + "x \\f1\\'b3\\f0  5, 2 \\f1\\'b4\\f0  3\\par\n}",
         "x ≥ 5, 2 × 3",
         [](const QTextDocument& d) {
             return formatAt(d, 2).fontFamilies().toStringList().isEmpty() &&
                    formatAt(d, 0).fontFamilies().toStringList() == QStringList{"Calibri"};
         }},
        {"Word, Symbol as Unicode", word + "a {\\f3 \\u-3917\\'b3} b {\\f3 \\u-3876\\'dc}\\par}",
         "a ≥ b ⇐"},
        {"Word, SYMBOL field",
         word +
             "2{\\field{\\*\\fldinst SYMBOL 180 \\\\f \"Symbol\" \\\\s 12}{\\fldrslt\\f3\\fs24}}3"
             "\\par}",
         "2×3"},
        {"WordPad, code page 1251",
         "{\\rtf1\\ansi\\ansicpg1251\\deff0\\nouicompat\\deflang1049{\\fonttbl{\\f0\\fnil"
         "\\fcharset204 "
         "Calibri;}}\n\\pard\\f0\\fs22\\lang1049\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par\n}",
         "Привет"},
        {"Word, code page 1253",
         "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}}\\pard"
         "\\plain\\f0 \\'c3\\'e5\\'e9\\'e1 \\'f3\\'ef\\'f5\\par}",
         "Γεια σου"},
        {"Word, PNG picture",
         word +
             "A{\\*\\shppict{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}{\\sv 75}}}"
             "\\picscalex100\\picscaley100\\picw53\\pich26\\picwgoal300\\pichgoal150\\pngblip"
             "\\bliptag-1{\\*\\blipuid 0123456789abcdef}" +
             pngHex(twoPixels()) +
             "}}{\\nonshppict{\\pict\\wmetafile8\\picwgoal300\\pichgoal150 0100}}B\\par}",
         "A\uFFFCB",
         [](const QTextDocument& d) {
             const QTextImageFormat image = formatAt(d, 1).toImageFormat();
             return image.width() == 20 && image.height() == 10 &&
                    d.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>() ==
                        twoPixels();
         }},
        {"Word, caps and small caps", word + "{\\caps Nitrous} {\\scaps Jets}\\par}",
         "Nitrous Jets",
         [](const QTextDocument& d) {
             return formatAt(d, 0).fontCapitalization() == QFont::AllUppercase &&
                    formatAt(d, 8).fontCapitalization() == QFont::SmallCaps &&
                    formatAt(d, 7).fontCapitalization() == QFont::MixedCase;
         }},
        {"WordPad, default tabs", wordPad + "Jet\\tab HP\\par\n}", "Jet\tHP",
         [](const QTextDocument& d) { return d.defaultTextOption().tabStopDistance() == 48; }},
        {"LibreOffice, \\deftab",
         "{\\rtf1\\ansi\\deff3\\adeflang1025{\\fonttbl{\\f3\\fswiss\\fprq2\\fcharset0 Liberation "
         "Sans;}}\\deftab709\\pard\\plain a\\tab b\\par}",
         "a\tb",
         [](const QTextDocument& d) {
             return qFuzzyCompare(d.defaultTextOption().tabStopDistance(), 709 / 15.0);
         }},
        {"Word, column and soft line breaks", word + "One\\column Two\\softline Three\\par}",
         "One\u2029Two\u2028Three"},
        // A font entry without \fcharset follows \ansicpg. The texts are Python's codecs'
        // (cp1250, cp1251, cp932, cp1255, cp1258) decoding of the same bytes.
        {"pandoc, code page 1251 without \\fcharset",
         "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5"
         "\\'f2 \\'ec\\'e8\\'f0\\par}",
         "Привет мир"},
        {"code page 1250 without \\fcharset",
         "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 \\'8elu\\'9dou"
         "\\'e8k\\'fd k\\'f9\\'f2\\par}",
         "Žluťoučký kůň"},
        {"code page 932 without \\fcharset",
         "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0 MS Mincho;}}\\f0 \\'93\\'fa\\'96\\'7b"
         "\\'8c\\'ea\\par}",
         "日本語"},
        {"Word, Hebrew code page 1255",
         "{\\rtf1\\ansi\\ansicpg1255\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset177 Arial;}}\\f0 "
         "\\'f9\\'ec\\'e5\\'ed\\par}",
         "שלום"},
        {"Word, Vietnamese code page 1258",
         "{\\rtf1\\ansi\\ansicpg1258\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset163 Arial;}}\\f0 "
         "Vi\\'ea\\'f2t Nam\\par}",
         "Vi\u00ea\u0323t Nam"},
        // The symbol fonts' glyphs, by the lines of the Unicode Technical Committee's
        // WDingsSources.txt that name them: "1F5F9;1254", "0263A;1074", "02713;1252",
        // "1F5F8;2080", "02042;2249", "1F577;0033", "1F54A;0255", "02B60;3033", "025BC;3113"
        // and "1F8AB;3101".
        {"Word, Wingdings, Wingdings 2, Wingdings 3 and Webdings",
         "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fnil\\fcharset2 Wingdings;}{\\f2\\fnil "
         "Wingdings 2;}{\\f3\\fnil\\fcharset2 Webdings;}{\\f4\\fnil\\fcharset2 Wingdings 3;}}"
         "\\f1\\'fe\\'4a\\u-3844\\'fc\\f2\\'50\\'f9\\f3\\'21\\'ff\\f4\\'21\\'71\\u-3995?\\par}",
         "\U0001F5F9\u263A\u2713\U0001F5F8\u2042\U0001F577\U0001F54A\u2B60\u25BC\U0001F8AB"},
        // pandoc's cells take themselves out of the table ({\\pard ... \\par}\\cell); the
        // header row has a bottom border, and the others none.
        {"pandoc, table",
         "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 \\fswiss Helvetica;}}\n{\\pard \\ql \\f0 \\sa180 "
         "Before\\par}\n{\n\\trowd \\trgaph120\n\\clbrdrb\\brdrs\\cellx4320\\clbrdrb\\brdrs"
         "\\cellx8640\n\\trkeep\\intbl\n{\n{\\intbl {\\pard \\ql \\f0 \\sa0 Jet\\par}\n\\cell}\n"
         "{\\intbl {\\pard \\ql \\f0 \\sa0 HP\\par}\n\\cell}\n}\n\\intbl\\row}\n{\n\\trowd "
         "\\trgaph120\n\\cellx4320\\cellx8640\n\\trkeep\\intbl\n{\n{\\intbl {\\pard \\ql \\f0 "
         "\\sa0 0.062\\par}\n\\cell}\n{\\intbl {\\pard \\ql \\f0 \\sa0 100\\par}\n\\cell}\n}\n"
         "\\intbl\\row}\n{\\pard \\ql \\f0 \\sa180 After\\par}\n}",
         "Before\uFDD0Jet\uFDD0HP\uFDD00.062\uFDD0100\uFDD1After",
         [](const QTextDocument& d) {
             const auto* table = qobject_cast<QTextTable*>(d.rootFrame()->childFrames().value(0));
             const auto bottom = [&](int row) {
                 return table->cellAt(row, 0).format().toTableCellFormat().bottomBorderStyle();
             };
             return table != nullptr && table->rows() == 2 && table->columns() == 2 &&
                    bottom(0) == QTextFrameFormat::BorderStyle_Solid &&
                    bottom(1) == QTextFrameFormat::BorderStyle_None;
         }},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF{\\rtf1\\ansi Hello}", "Hello"},
    };
}

TEST(RtfFidelity, ShowsWhatWordProcessorsWrite) {
    for (const Snippet& snippet : snippets()) {
        SCOPED_TRACE(snippet.writer);
        const ParseResult result = parse(snippet.rtf);
        ASSERT_TRUE(result.ok()) << result.error;
        QTextDocument document;
        buildDocument(result.document, document);
        EXPECT_EQ(document.toRawText().toStdString(), snippet.text);
        EXPECT_TRUE(snippet.formats(document));
    }
}

// Files that LibreOffice saved (saved/README.md), and what each states.
TEST(RtfFidelity, ShowsWhatLibreOfficeSaved) {
    const struct {
        const char* file;
        std::string text;
        std::function<bool(const QTextDocument&)> formats;
    } files[] = {
        // The heading's outline level has no number, so no tab indents it. The note's mark
        // is the text's superscript "1", and the note follows the text with its own mark.
        {"notes_tabs_heading.rtf",
         "Jets\u2029a\tb\tc\t1.5\u2029Nitrous1 works.\u20291\tUse with care.",
         [](const QTextDocument& d) {
             // Stops at 1, 2 and 3 inches: 96, 192 and 288 pixels.
             const QList<QTextOption::Tab> tabs =
                 d.findBlockByNumber(1).blockFormat().tabPositions();
             return tabs == QList<QTextOption::Tab>{{96, QTextOption::CenterTab, u'.'},
                                                    {192, QTextOption::RightTab, u'.'},
                                                    {288, QTextOption::DelimiterTab, u'.'}} &&
                    formatAt(d, 5 + 10 + 7).verticalAlignment() ==
                        QTextCharFormat::AlignSuperScript;
         }},
        // A 3-column grid (cells end at 301, 587 and 918 twips); the first row's first cell
        // spans two columns and is shaded with colour 6, red; D spans two rows. Row 2 gives its
        // cells no top border, and left ones 1 twip wide in colour 15, grey.
        {"merged_table.rtf", "",
         [](const QTextDocument& d) {
             const auto* table = qobject_cast<QTextTable*>(d.rootFrame()->childFrames().value(0));
             if (table == nullptr || table->rows() != 3 || table->columns() != 3) return false;
             const auto text = [&](int row, int column) {
                 return table->cellAt(row, column).firstCursorPosition().block().text();
             };
             const QTextTableCell ab = table->cellAt(0, 0);
             const QTextTableCellFormat e = table->cellAt(1, 1).format().toTableCellFormat();
             const QList<QTextLength> widths = table->format().columnWidthConstraints();
             return ab.columnSpan() == 2 && ab.format().background().color() == QColor(255, 0, 0) &&
                    table->cellAt(1, 0).rowSpan() == 2 && text(0, 0) == "AB" && text(0, 2) == "C" &&
                    text(1, 0) == "D" && text(1, 1) == "E" && text(1, 2) == "F" &&
                    text(2, 1) == "G" && text(2, 2) == "H" && widths.size() == 3 &&
                    qFuzzyCompare(widths[0].rawValue(), 301 / 15.0) &&
                    qFuzzyCompare(widths[1].rawValue(), (587 - 301) / 15.0) &&
                    e.topBorderStyle() == QTextFrameFormat::BorderStyle_None &&
                    e.leftBorderStyle() == QTextFrameFormat::BorderStyle_Solid &&
                    e.leftBorder() == 1 && e.leftBorderBrush().color() == QColor(128, 128, 128);
         }},
    };
    for (const auto& saved : files) {
        SCOPED_TRACE(saved.file);
        QFile file(QStringLiteral(MORAVIK_SAVED_RTF_DIR "/") + saved.file);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const ParseResult result = parse(std::string_view(bytes.constData(), bytes.size()));
        ASSERT_TRUE(result.ok()) << result.error;
        QTextDocument document;
        buildDocument(result.document, document);
        if (!saved.text.empty()) {
            EXPECT_EQ(document.toRawText().toStdString(), saved.text);
        }
        EXPECT_TRUE(saved.formats(document));
    }
}

}  // namespace
}  // namespace moravik::rtf

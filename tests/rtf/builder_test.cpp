// The QTextDocument built from a file: what word processors' files show (snippets in their
// styles, files LibreOffice saved), and what the builder does for Qt.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <functional>
#include <memory>
#include <string>

#include "hostile_files.h"
#include "moravik/rtf/parser.h"
#include "moravik/rtf/qt_document.h"
#include "rtf_test_support.h"

namespace moravik::rtf {
namespace {

// A 2 x 1 picture, red then blue.
QImage twoPixels() {
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 255));
    return image;
}

// The format of the character at position in document.
QTextCharFormat formatAt(const QTextDocument& document, int position) {
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

// The document built from the file over one that held other text.
std::unique_ptr<QTextDocument> built(const std::string& rtf) {
    const ParseResult result = parse(rtf);
    EXPECT_TRUE(result.ok()) << result.error;
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText("old content");
    buildDocument(result.document, *document);
    return document;
}

QTextTable* firstTable(const QTextDocument& document) {
    return qobject_cast<QTextTable*>(document.rootFrame()->childFrames().value(0));
}

// Each cell's first line, row by row, joined by '|'; a merged cell in each place it covers.
QString cellTexts(const QTextTable& table) {
    QStringList texts;
    for (int row = 0; row < table.rows(); ++row) {
        for (int column = 0; column < table.columns(); ++column)
            texts << table.cellAt(row, column).firstCursorPosition().block().text();
    }
    return texts.join('|');
}

QTextCharFormat formatOf(const QTextDocument& document, const QString& text) {
    return document.find(text).charFormat();
}

TEST(RtfBuilder, CarriesCharacterFormats) {
    using F = QTextCharFormat;
    const struct {
        std::string body;  // formats the text "x"
        bool (*holds)(const F&);
    } cases[] = {
        {"\\b\\i x", [](const F& f) { return f.fontWeight() == QFont::Bold && f.fontItalic(); }},
        {"\\ul\\strike x", [](const F& f) { return f.fontUnderline() && f.fontStrikeOut(); }},
        {"\\fs21 x", [](const F& f) { return f.fontPointSize() == 10.5; }},
        {"\\f3 x", [](const F& f) { return f.fontFamilies() == QStringList{"Courier New"}; }},
        {"\\cf1 x", [](const F& f) { return f.foreground().color() == QColor(255, 0, 0); }},
        {"\\highlight2 x", [](const F& f) { return f.background().color() == QColor(0, 0, 255); }},
        {"\\super x", [](const F& f) { return f.verticalAlignment() == F::AlignSuperScript; }},
        {"\\sub x", [](const F& f) { return f.verticalAlignment() == F::AlignSubScript; }},
        {"\\caps x", [](const F& f) { return f.fontCapitalization() == QFont::AllUppercase; }},
        {"\\scaps x", [](const F& f) { return f.fontCapitalization() == QFont::SmallCaps; }},
        {"\\field{\\*\\fldinst HYPERLINK \"https://example.com/\"}{\\fldrslt x}",
         [](const F& f) {
             return f.isAnchor() && f.anchorHref() == "https://example.com/" && f.fontUnderline() &&
                    f.hasProperty(QTextFormat::ForegroundBrush);
         }},
    };
    const auto plain = built(withTables("y"));
    for (const auto& c : cases) {
        const auto document = built(withTables("{" + c.body + "}y"));
        EXPECT_TRUE(c.holds(formatOf(*document, "x"))) << c.body;
        EXPECT_EQ(formatOf(*document, "y"), formatOf(*plain, "y")) << c.body;
    }
}

TEST(RtfBuilder, CarriesParagraphFormatsInPixels) {
    const auto document = built(withTables(
        "\\qc Title\\par\\pard\\li1440\\ri720\\fi-360\\sb300\\sa150\\tx2880 1.\\tab A\\line B\\par"
        "\\pard\\qr\\par\\qj Last"));
    QList<int> alignments;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        alignments << (block.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    EXPECT_EQ(alignments,
              (QList<int>{Qt::AlignHCenter, Qt::AlignLeft, Qt::AlignRight, Qt::AlignJustify}));
    const QTextBlock indented = document->findBlockByNumber(1);
    EXPECT_EQ(indented.text(), "1.\tA\u2028B");
    // One inch is 96 pixels. Tabs count from where the first line begins, 24 pixels left of the
    // indent, so the hanging indent gets a tab stop of its own to line the text up.
    const QTextBlockFormat f = indented.blockFormat();
    const QList<QTextOption::Tab> tabs = f.tabPositions();
    EXPECT_EQ((QList<double>{f.leftMargin(), f.rightMargin(), f.textIndent(), f.topMargin(),
                             f.bottomMargin(), tabs.value(0).position, tabs.value(1).position}),
              (QList<double>{96, 48, -24, 20, 10, 24, 120}));
    EXPECT_EQ(tabs.size(), 2);
    EXPECT_FALSE(document->isUndoAvailable()) << "loading is no edit to undo";
}

TEST(RtfBuilder, TableRowsBecomeOneTable) {
    const auto document = built(withTables(
        "Before\\par\\trowd\\cellx1440\\cellx4320\\pard\\intbl Jet\\cell {\\b HP}\\cell\\row"
        "\\trowd\\cellx1440\\cellx4320\\pard\\intbl 0.062\\cell 100\\line net\\cell\\row"
        "\\pard After\\par"));
    const QTextTable* table = firstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_EQ(cellTexts(*table), "Jet|HP|0.062|100\u2028net");
    EXPECT_EQ(formatOf(*document, "HP").fontWeight(), QFont::Bold);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(widths[0].rawValue(), 96);
    EXPECT_EQ(widths[1].rawValue(), 192 - 4) << "the borders come off the last column";
    EXPECT_EQ(document->toPlainText().split('\n').constLast(), "After");
}

// A table wider than a page (6.5 in, 9360 twips, of text) is fitted to the view by shares of
// its width; \clmrg joins a cell to the one before.
TEST(RtfBuilder, FitsAWideTableAndJoinsMergedCells) {
    const auto document =
        built(withTables("\\trowd\\cellx12000\\clmrg\\cellx24000\\cellx30000\\pard\\intbl "
                         "A\\cell\\cell C\\cell\\row"));
    const QTextTable* table = firstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(cellTexts(*table), "A|A|C");
    const QTextTableFormat format = table->format();
    EXPECT_EQ(format.width(), QTextLength(QTextLength::PercentageLength, 100));
    const auto share = [](double percent) {
        return QTextLength(QTextLength::PercentageLength, percent);
    };
    EXPECT_EQ(format.columnWidthConstraints(),
              (QList<QTextLength>{share(40), share(40), share(20)}));
}

// A picture left out is mentioned with the reason where it stood: one in a format not shown,
// and a PNG whose header is whole but whose image data is missing.
TEST(RtfBuilder, MentionsPicturesLeftOut) {
    const auto document =
        built(withTables("A{\\pict\\wmetafile8 0102}B{\\pict\\pngblip "
                         "89504e470d0a1a0a0000000d49484452000000020000000108020000007b}C"));
    EXPECT_EQ(document->toPlainText(),
              "A[a picture in a format other than PNG or JPEG is left out]B"
              "[a picture that cannot be decoded is left out]C");
    EXPECT_TRUE(formatOf(*document, "cannot be decoded").fontItalic());
}

// A picture shown smaller is kept at the size shown; a 16-bit one at 8 bits a channel.
TEST(RtfBuilder, KeepsPicturesAtTheSizeShown) {
    QImage large(400, 200, QImage::Format_RGBA64);
    large.fill(Qt::red);
    // 600 by 300 twips: 40 by 20 pixels.
    const auto document =
        built(withTables("{\\pict\\pngblip\\picwgoal600\\pichgoal300 " + pngHex(large) + "}"));
    const QTextImageFormat image =
        document->begin().begin().fragment().charFormat().toImageFormat();
    const QImage kept =
        document->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
    EXPECT_EQ(kept.size(), QSize(40, 20));
    EXPECT_LE(kept.depth(), 32);
    EXPECT_EQ(kept.pixelColor(20, 10), QColor(Qt::red));
}

// Borderless rows collapse no borders, which would double Qt's time to lay out each cell.
TEST(RtfBuilder, PadsNoTableFarBeyondTheCellsItFills) {
    const auto document =
        built(withTables("\\trowd\\pard\\intbl " + repeated("w\\cell ", 64) + "\\row" +
                         repeated("\\trowd\\pard\\intbl n\\cell\\row", 500)));
    int cells = 0;
    for (QTextFrame* frame : document->rootFrame()->childFrames()) {
        if (const auto* table = qobject_cast<QTextTable*>(frame)) {
            cells += table->rows() * table->columns();
            EXPECT_FALSE(table->format().borderCollapse());
        }
    }
    EXPECT_LE(cells, 2 * (64 + 500)) << "a wide row followed by narrow ones";
    EXPECT_EQ(document->toPlainText().count('w') + document->toPlainText().count('n'), 564);
}

// The blocks' texts, joined by '|'.
QString blockTexts(const QTextDocument& document) {
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        texts << block.text();
    return texts.join('|');
}

TEST(RtfBuilder, NoticesSayWhatIsMissing) {
    const QString cut = QString::fromUtf8(kCutNotice);
    const QString truncated = QString::fromUtf8(kTruncatedNotice);
    Document marked = parse("{\\rtf1\\qc Title\\par Text}").document;
    marked.cut = true;
    const std::pair<Document, QString> cases[] = {
        {parse("{\\rtf1\\qc Title\\par Text").document, "Title|Text|" + truncated},
        {marked, cut + "|Title|Text"},
        // too tall to lay out whole
        {parse("{\\rtf1 " + repeated("{\\fs3276 x}", 10000) + "}").document, cut + "|x"},
    };
    for (const auto& [source, expected] : cases) {
        QTextDocument document;
        buildDocument(source, document);
        const QString blocks = blockTexts(document);
        EXPECT_EQ(blocks.left(expected.size()).toStdString(), expected.toStdString());
        const QString notice = blocks.contains(cut) ? cut : truncated;
        EXPECT_TRUE(formatOf(document, notice).fontItalic());
        if (blocks.contains("Title")) {
            EXPECT_EQ(
                document.find("Title").block().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                Qt::AlignHCenter);
            EXPECT_FALSE(formatOf(document, "Title").fontItalic());
        }
    }
}

// Qt's layout takes time that grows faster than the length of a word or a block, so a word
// gets an invisible break opportunity (U+200B) after each 100 letters, and a paragraph goes
// on in a new block after 20000 characters or 250 format runs. The text itself stays as written.
TEST(RtfBuilder, KeepsWordsAndBlocksShortForQt) {
    const QString zeroWidthSpace(QChar(0x200B));
    const struct {
        std::string body;
        QString text;
        int blocks;
    } cases[] = {
        {std::string(250, 'a') + " " + repeated("word ", 10000),
         QString(250, 'a') + " " + QString("word ").repeated(10000), 3},
        {repeated("{\\b x}{\\i y}", 500), QString("xy").repeated(500), 4},
    };
    for (const auto& c : cases) {
        const auto document = built(withTables(c.body));
        QString joined;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            EXPECT_LE(block.length(), 20001);
            int runs = 0;
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) ++runs;
            EXPECT_LE(runs, 250);
            joined += block.text();
        }
        EXPECT_EQ(document->blockCount(), c.blocks);
        joined.remove(zeroWidthSpace);
        EXPECT_EQ(joined.toStdString(), c.text.toStdString());
    }
    EXPECT_EQ(built(withTables(std::string(250, 'a') + " word"))->begin().text().toStdString(),
              (QString(100, 'a') + zeroWidthSpace + QString(100, 'a') + zeroWidthSpace +
               QString(50, 'a') + " word")
                  .toStdString());
}

// A file of saved/ (LibreOffice's, saved/README.md).
std::string saved(const char* name) {
    QFile file(QStringLiteral(MORAVIK_SAVED_RTF_DIR "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll().toStdString();
}

struct Snippet {
    const char* writer;
    std::string rtf;
    std::string
        text;  // QTextDocument::toRawText(): U+2029 between blocks, U+2028 at breaks; "": any
    std::function<bool(const QTextDocument&)> formats = [](const QTextDocument&) { return true; };
};

// Symbol's code points are those of Adobe's Symbol encoding (Unicode's
// MAPPINGS/VENDORS/ADOBE/symbol.txt); 720 twips make a half inch, 48 pixels at 96 dots per
// inch. What the parser alone decides (code pages, symbol fonts) is parser_test's.
std::vector<Snippet> snippets() {
    const std::string wordPad =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{"
        "\\f0\\fnil\\fcharset0 "
        "Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}}\n{\\*\\generator Riched20 10.0.19041}"
        "\\viewkind4\\uc1 \n\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 ";
    return {
        {"WordPad, Symbol bytes", wordPad + "x \\f1\\'b3\\f0  5, 2 \\f1\\'b4\\f0  3\\par\n}",
         "x ≥ 5, 2 × 3",
         [](const QTextDocument& d) {
             return formatAt(d, 2).fontFamilies().toStringList().isEmpty() &&
                    formatAt(d, 0).fontFamilies().toStringList() == QStringList{"Calibri"};
         }},
        {"Word, PNG picture",
         kWordHead +
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
        {"WordPad, default tabs", wordPad + "Jet\\tab HP\\par\n}", "Jet\tHP",
         [](const QTextDocument& d) { return d.defaultTextOption().tabStopDistance() == 48; }},
        {"LibreOffice, \\deftab",
         "{\\rtf1\\ansi\\deff3\\adeflang1025{\\fonttbl{\\f3\\fswiss\\fprq2\\fcharset0 Liberation "
         "Sans;}}\\deftab709\\pard\\plain a\\tab b\\par}",
         "a\tb",
         [](const QTextDocument& d) {
             return qFuzzyCompare(d.defaultTextOption().tabStopDistance(), 709 / 15.0);
         }},
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
             const QTextTable* table = firstTable(d);
             const auto bottom = [&](int row) {
                 return table->cellAt(row, 0).format().toTableCellFormat().bottomBorderStyle();
             };
             return table != nullptr && table->rows() == 2 && table->columns() == 2 &&
                    bottom(0) == QTextFrameFormat::BorderStyle_Solid &&
                    bottom(1) == QTextFrameFormat::BorderStyle_None;
         }},
        // The heading's outline level has no number, so no tab indents it. The note's mark
        // is the text's superscript "1", and the note follows the text with its own mark.
        {"LibreOffice, saved/notes_tabs_heading.rtf", saved("notes_tabs_heading.rtf"),
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
        {"LibreOffice, saved/merged_table.rtf", saved("merged_table.rtf"), "",
         [](const QTextDocument& d) {
             const QTextTable* table = firstTable(d);
             if (table == nullptr || table->columns() != 3) return false;
             const QTextTableCell ab = table->cellAt(0, 0);
             const QTextTableCellFormat e = table->cellAt(1, 1).format().toTableCellFormat();
             const QList<QTextLength> widths = table->format().columnWidthConstraints();
             return ab.columnSpan() == 2 && ab.format().background().color() == QColor(255, 0, 0) &&
                    table->cellAt(1, 0).rowSpan() == 2 &&
                    cellTexts(*table) == "AB|AB|C|D|E|F|D|G|H" && widths.size() == 3 &&
                    qFuzzyCompare(widths[0].rawValue(), 301 / 15.0) &&
                    qFuzzyCompare(widths[1].rawValue(), (587 - 301) / 15.0) &&
                    e.topBorderStyle() == QTextFrameFormat::BorderStyle_None &&
                    e.leftBorderStyle() == QTextFrameFormat::BorderStyle_Solid &&
                    e.leftBorder() == 1 && e.leftBorderBrush().color() == QColor(128, 128, 128);
         }},
    };
}

TEST(RtfFidelity, ShowsWhatWordProcessorsWrite) {
    for (const Snippet& snippet : snippets()) {
        SCOPED_TRACE(snippet.writer);
        const auto document = built(snippet.rtf);
        if (!snippet.text.empty()) {
            EXPECT_EQ(document->toRawText().toStdString(), snippet.text);
        }
        EXPECT_TRUE(snippet.formats(*document));
    }
}

}  // namespace
}  // namespace moravik::rtf

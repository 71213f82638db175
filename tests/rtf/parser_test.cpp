#include "moravik/rtf/parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "rtf_test_support.h"

namespace moravik::rtf {
namespace {

using testing::joinedText;
using testing::withTables;

struct TextCase {
    const char* name;
    std::string body;
    std::string expected;  // paragraphs joined by '|'
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

class TextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextTest, GivesTheExpectedText) {
    const ParseResult result = parse(withTables(GetParam().body));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(joinedText(result.document), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Structure, TextTest,
    ::testing::Values(TextCase{"PlainText", "Hello world", "Hello world"},
                      TextCase{"Paragraphs", "One\\par Two\\par", "One|Two"},
                      TextCase{"LastParagraphWithoutPar", "One\\par Two", "One|Two"},
                      TextCase{"EmptyParagraphsKept", "A\\par\\par B\\par", "A||B"},
                      TextCase{"LineBreak", "A\\line B", "A\nB"},
                      TextCase{"Tab", "A\\tab B", "A\tB"}, TextCase{"LiteralTab", "A\tB", "A\tB"},
                      TextCase{"SectionAndPageEndParagraphs", "A\\sect B\\page C", "A|B|C"},
                      TextCase{"LineEndsAreNoText", "A\r\nB\nC\rD", "ABCD"},
                      TextCase{"BackslashLineEndIsParagraph", "A\\\nB", "A|B"},
                      TextCase{"DelimiterSpaceEaten", "\\b Bold\\b0  two", "Bold two"},
                      TextCase{"EscapedSpecials", "\\\\ \\{ \\}", "\\ { }"},
                      TextCase{"TableCellsBecomeTabs",
                               "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"
                               "\\pard After\\par",
                               "A\tB|After"},
                      TextCase{
                          "TableCellOfTwoParagraphs",
                          "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\par B\\cell C\\cell\\row",
                          "A\nB\tC"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Characters, TextTest,
    ::testing::Values(
        TextCase{"Windows1252Latin", "caf\\'e9 \\'C9", "caf\xC3\xA9 \xC3\x89"},
        TextCase{"Windows1252Euro", "\\'80", "\xE2\x82\xAC"},
        TextCase{"Windows1252Quotes", "\\'93q\\'94", "\xE2\x80\x9Cq\xE2\x80\x9D"},
        TextCase{"Windows1252Unassigned", "\\'81", "\xEF\xBF\xBD"},
        TextCase{"NamedCharacters",
                 "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote",
                 "\xE2\x80\x94\xE2\x80\x93\xE2\x80\xA2\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C"
                 "\xE2\x80\x9D"},
        TextCase{"SpecialSymbols", "a\\~b\\-c\\_d",
                 "a\xC2\xA0"
                 "b\xC2\xAD"
                 "c\xE2\x80\x91"
                 "d"},
        TextCase{"UnicodeSkipsOneFallback", "\\u8364?x",
                 "\xE2\x82\xAC"
                 "x"},
        TextCase{"UnicodeSkipZero", "\\uc0\\u8364 x",
                 "\xE2\x82\xAC"
                 "x"},
        TextCase{"UnicodeSkipsHexFallbacks", "\\uc2\\u8364\\'80\\'80x",
                 "\xE2\x82\xAC"
                 "x"},
        TextCase{"UnicodeSkipsTextBytes", "\\uc2\\u8364 abc",
                 "\xE2\x82\xAC"
                 "c"},
        TextCase{"UnicodeFallbackWordCountsAsOne", "\\u8364\\emdash x",
                 "\xE2\x82\xAC"
                 "x"},
        TextCase{"UnicodeNegative", "\\u-28671?", "\xE9\x80\x81"},
        TextCase{"UnicodeSurrogatePair", "\\u-10179?\\u-8704?", "\xF0\x9F\x98\x80"},
        TextCase{"UnicodeLoneHighSurrogate", "\\u-10179?x",
                 "\xEF\xBF\xBD"
                 "x"},
        TextCase{"UnicodeLoneLowSurrogate", "\\u-8704?x",
                 "\xEF\xBF\xBD"
                 "x"},
        TextCase{"UnicodeOutOfRange", "\\u99999999999?x",
                 "\xEF\xBF\xBD"
                 "x"},
        TextCase{"UnicodeSkipCountIsScoped", "{\\uc0\\u8364}\\u8364?", "\xE2\x82\xAC\xE2\x82\xAC"},
        TextCase{"GroupEndStopsSkipping", "{\\uc3\\u8364}ab",
                 "\xE2\x82\xAC"
                 "ab"},
        TextCase{"SymbolBullet", "{\\f1 \\'b7}", "\xE2\x80\xA2"},
        TextCase{"WingdingsBullet", "{\\f2 \\'a7}", "\xE2\x96\xAA"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Lists, TextTest,
    ::testing::Values(
        TextCase{"OldStyleBullet",
                 "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}Item\\par",
                 "\xE2\x80\xA2\tItem"},
        TextCase{"ListTextBullet", "{\\listtext\\pard\\plain\\f1 \\'b7\\tab}Item\\par",
                 "\xE2\x80\xA2\tItem"},
        TextCase{"Numbered", "{\\listtext 1.\\tab}First\\par{\\listtext 2.\\tab}Second\\par",
                 "1.\tFirst|2.\tSecond"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Skipped, TextTest,
    ::testing::Values(
        TextCase{"IgnorableDestination", "{\\*\\zz secret {\\b more}}shown", "shown"},
        TextCase{"IgnorableKnownWord", "{\\*\\b secret}shown", "shown"},
        TextCase{"Info", "{\\info{\\title T}{\\author A}}Body", "Body"},
        TextCase{"Stylesheet", "{\\stylesheet{\\s0 Normal;}{\\s1 Heading 1;}}Body", "Body"},
        TextCase{"Generator", "{\\*\\generator Riched20 10.0.19041}Body", "Body"},
        TextCase{"Header", "{\\header Page head}Body", "Body"},
        TextCase{"Footnote", "Body{\\footnote Note}", "Body"},
        TextCase{"Hidden", "a{\\v hidden}b", "ab"},
        TextCase{"UnknownWordKeepsText", "{\\unknownword text}", "text"},
        TextCase{"PictureAsPlaceholder", "A{\\pict\\wmetafile8\\picw10 0102ff}B", "A[picture]B"},
        TextCase{"PictureBinaryWithBraces", "A{\\pict\\bin4 }}}{}B", "A[picture]B"},
        TextCase{"PictureAlternativeShownOnce",
                 "{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}",
                 "[picture]"},
        TextCase{"ObjectShowsItsResult",
                 "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result Shown}}",
                 "Shown"},
        TextCase{"BinaryInText", "A\\bin3 xyzB", "AB"},
        TextCase{"OtherFieldShowsResult", "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}", "7"},
        TextCase{"FieldWithoutResult", "{\\field{\\*\\fldinst PAGE}}x", "x"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FormatCase {
    const char* name;
    std::string body;  // formats the text "x", and nothing else
    std::function<void(CharFormat&)> change;
};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class CharFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(CharFormatTest, FormatsTheRun) {
    const ParseResult result = parse(withTables("{" + GetParam().body + "}y"));
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.document.paragraphs.size(), 1U);
    const auto& runs = result.document.paragraphs[0].runs;
    ASSERT_EQ(plainText(result.document.paragraphs[0]), "xy");

    CharFormat expected;
    expected.fontFamily = "Arial";  // \deff0
    GetParam().change(expected);
    const CharFormat& x = result.document.format(runs.front());
    const CharFormat& y = result.document.format(runs.back());
    EXPECT_EQ(x, expected);
    EXPECT_EQ(y.bold, false) << "the group's end restores the format";
    EXPECT_EQ(y.halfPoints, kDefaultHalfPoints);
}

const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};

INSTANTIATE_TEST_SUITE_P(
    Formats, CharFormatTest,
    ::testing::Values(
        FormatCase{"Default", "x", [](CharFormat&) {}},
        FormatCase{"Bold", "\\b x", [](CharFormat& f) { f.bold = true; }},
        FormatCase{"BoldOff", "\\b\\b0 x", [](CharFormat&) {}},
        FormatCase{"Italic", "\\i x", [](CharFormat& f) { f.italic = true; }},
        FormatCase{"Underline", "\\ul x", [](CharFormat& f) { f.underline = true; }},
        FormatCase{"DoubleUnderline", "\\uldb x", [](CharFormat& f) { f.underline = true; }},
        FormatCase{"UnderlineNone", "\\ul\\ulnone x", [](CharFormat&) {}},
        FormatCase{"StrikeOut", "\\strike x", [](CharFormat& f) { f.strikeOut = true; }},
        FormatCase{"DoubleStrikeOut", "\\striked1 x", [](CharFormat& f) { f.strikeOut = true; }},
        FormatCase{"FontSize", "\\fs32 x", [](CharFormat& f) { f.halfPoints = 32; }},
        FormatCase{"FontSizeZeroIsDefault", "\\fs0 x", [](CharFormat&) {}},
        FormatCase{"FontSizeNegativeIsDefault", "\\fs-5 x", [](CharFormat&) {}},
        FormatCase{"FontSizeHugeIsCapped", "\\fs99999999999 x",
                   [](CharFormat& f) { f.halfPoints = 3276; }},
        FormatCase{"FontFromTable", "\\f3 x", [](CharFormat& f) { f.fontFamily = "Courier New"; }},
        FormatCase{"FontMissingIsDefault", "\\f99 x", [](CharFormat& f) { f.fontFamily.clear(); }},
        FormatCase{"SymbolFontShownInDefaultFont", "\\f1 x",
                   [](CharFormat& f) { f.fontFamily.clear(); }},
        FormatCase{"Color", "\\cf1 x", [](CharFormat& f) { f.color = kRed; }},
        FormatCase{"ColorZeroIsDefault", "\\cf2\\cf0 x", [](CharFormat&) {}},
        FormatCase{"ColorOutOfRange", "\\cf7 x", [](CharFormat&) {}},
        FormatCase{"ColorNegative", "\\cf-1 x", [](CharFormat&) {}},
        FormatCase{"Highlight", "\\highlight2 x", [](CharFormat& f) { f.highlight = kBlue; }},
        FormatCase{"Background", "\\cb1 x", [](CharFormat& f) { f.highlight = kRed; }},
        FormatCase{"HighlightOutOfRange", "\\highlight99 x", [](CharFormat&) {}},
        FormatCase{"Superscript", "\\super x",
                   [](CharFormat& f) { f.verticalAlignment = VerticalAlignment::Superscript; }},
        FormatCase{"Subscript", "\\sub x",
                   [](CharFormat& f) { f.verticalAlignment = VerticalAlignment::Subscript; }},
        FormatCase{"NoSuperSub", "\\super\\nosupersub x", [](CharFormat&) {}},
        FormatCase{"Up", "\\up6 x",
                   [](CharFormat& f) { f.verticalAlignment = VerticalAlignment::Superscript; }},
        FormatCase{"Down", "\\dn6 x",
                   [](CharFormat& f) { f.verticalAlignment = VerticalAlignment::Subscript; }},
        FormatCase{"Plain", "\\b\\i\\ul\\strike\\fs40\\cf1\\highlight2\\f3\\super\\plain x",
                   [](CharFormat&) {}},
        FormatCase{"Combined", "\\b\\i\\fs20\\cf2 x",
                   [](CharFormat& f) {
                       f.bold = f.italic = true;
                       f.halfPoints = 20;
                       f.color = kBlue;
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

struct ParagraphCase {
    const char* name;
    std::string body;  // the first paragraph
    std::function<void(ParagraphFormat&)> change;
};

void PrintTo(const ParagraphCase& c, std::ostream* out) { *out << c.name; }

class ParagraphFormatTest : public ::testing::TestWithParam<ParagraphCase> {};

TEST_P(ParagraphFormatTest, FormatsTheParagraph) {
    const ParseResult result = parse(withTables(GetParam().body));
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_FALSE(result.document.paragraphs.empty());
    ParagraphFormat expected;
    GetParam().change(expected);
    EXPECT_EQ(result.document.paragraphs[0].format, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, ParagraphFormatTest,
    ::testing::Values(
        ParagraphCase{"Default", "x\\par", [](ParagraphFormat&) {}},
        ParagraphCase{"Center", "\\qc x\\par",
                      [](ParagraphFormat& p) { p.alignment = Alignment::Center; }},
        ParagraphCase{"Right", "\\qr x\\par",
                      [](ParagraphFormat& p) { p.alignment = Alignment::Right; }},
        ParagraphCase{"Justify", "\\qj x\\par",
                      [](ParagraphFormat& p) { p.alignment = Alignment::Justify; }},
        ParagraphCase{"LeftAfterCenter", "\\qc\\ql x\\par", [](ParagraphFormat&) {}},
        ParagraphCase{"Indents", "\\li720\\ri360\\fi-360 x\\par",
                      [](ParagraphFormat& p) {
                          p.leftIndent = 720;
                          p.rightIndent = 360;
                          p.firstLineIndent = -360;
                      }},
        ParagraphCase{"LibreOfficeIndents", "\\lin1440\\rin720 x\\par",
                      [](ParagraphFormat& p) {
                          p.leftIndent = 1440;
                          p.rightIndent = 720;
                      }},
        ParagraphCase{"Spacing", "\\sb120\\sa240 x\\par",
                      [](ParagraphFormat& p) {
                          p.spaceBefore = 120;
                          p.spaceAfter = 240;
                      }},
        ParagraphCase{"NegativeSpacingIsZero", "\\sb-100 x\\par", [](ParagraphFormat&) {}},
        ParagraphCase{"HugeIndentIsCapped", "\\li99999999999\\fi-99999999999 x\\par",
                      [](ParagraphFormat& p) {
                          p.leftIndent = 31680;
                          p.firstLineIndent = -31680;
                      }},
        ParagraphCase{"PardResets", "\\qc\\li720\\sa100\\pard x\\par", [](ParagraphFormat&) {}},
        ParagraphCase{"FormatAtParCounts", "{\\qc x\\par}",
                      [](ParagraphFormat& p) { p.alignment = Alignment::Center; }},
        ParagraphCase{"LastParagraphKeepsItsFormat", "\\qr x",
                      [](ParagraphFormat& p) { p.alignment = Alignment::Right; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParagraphFormat, CarriesOnUntilPard) {
    const ParseResult result = parse(withTables("\\qc a\\par b\\par\\pard c\\par"));
    ASSERT_EQ(result.document.paragraphs.size(), 3U);
    EXPECT_EQ(result.document.paragraphs[1].format.alignment, Alignment::Center);
    EXPECT_EQ(result.document.paragraphs[2].format.alignment, Alignment::Left);
}

struct LinkCase {
    const char* name;
    std::string instruction;
    std::string expectedLink;  // empty: the field's text is shown as plain text
};

void PrintTo(const LinkCase& c, std::ostream* out) { *out << c.name; }

class HyperlinkTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(HyperlinkTest, LinksOnlyWebAndMailAddresses) {
    const ParseResult result = parse(withTables("Go {\\field{\\*\\fldinst " +
                                                GetParam().instruction + "}{\\fldrslt here}} now"));
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(joinedText(result.document), "Go here now");
    const auto& runs = result.document.paragraphs[0].runs;
    std::string linkOfHere;
    for (const auto& run : runs) {
        const std::string& link = result.document.format(run).link;
        if (run.text == "here") {
            linkOfHere = link;
        } else {
            EXPECT_EQ(link, "") << "text outside the field is no link: '" << run.text << "'";
        }
    }
    EXPECT_EQ(linkOfHere, GetParam().expectedLink);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, HyperlinkTest,
    ::testing::Values(
        LinkCase{"Http", "HYPERLINK \"http://example.com/\"", "http://example.com/"},
        LinkCase{"Https", "HYPERLINK \"https://example.com/a?b=c\"", "https://example.com/a?b=c"},
        LinkCase{"Mailto", "HYPERLINK \"mailto:me@example.com\"", "mailto:me@example.com"},
        LinkCase{"SchemeInCapitals", "HYPERLINK \"HTTPS://Example.com\"", "HTTPS://Example.com"},
        LinkCase{"KeywordInLowerCase", "hyperlink \"http://a.example\"", "http://a.example"},
        LinkCase{"Unquoted", "HYPERLINK http://bare.example/", "http://bare.example/"},
        LinkCase{"TooltipSwitchAfter", "HYPERLINK \"http://a.example/\" \\\\o \"tip\"",
                 "http://a.example/"},
        LinkCase{"TooltipSwitchBefore",
                 "HYPERLINK \\\\o \"http://tip.example\" \"https://b.example\"",
                 "https://b.example"},
        LinkCase{"NestedGroups", "{\\rtlch HYPERLINK }{\"http://nested.example/\"}",
                 "http://nested.example/"},
        LinkCase{"FileScheme", "HYPERLINK \"file:///etc/passwd\"", ""},
        LinkCase{"JavascriptScheme", "HYPERLINK \"javascript:alert(1)\"", ""},
        LinkCase{"LocalPath", "HYPERLINK \"C:\\\\\\\\Windows\\\\\\\\notepad.exe\"", ""},
        LinkCase{"RelativePath", "HYPERLINK \"other.rtf\"", ""},
        LinkCase{"BookmarkOnly", "HYPERLINK \\\\l \"_Toc1\"", ""},
        LinkCase{"SpaceInAddress", "HYPERLINK \"http://a b\"", ""},
        LinkCase{"OtherField", "INCLUDETEXT \"http://a.example\"", ""}, LinkCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Hyperlink, SurvivesPlainInsideTheResult) {
    const ParseResult result =
        parse(withTables("{\\field{\\*\\fldinst HYPERLINK \"http://a.example\"}{\\fldrslt "
                         "{\\plain\\ul\\cf2 here}}}"));
    ASSERT_EQ(result.document.paragraphs.size(), 1U);
    const CharFormat& format = result.document.format(result.document.paragraphs[0].runs.at(0));
    EXPECT_EQ(format.link, "http://a.example");
    EXPECT_TRUE(format.underline);
    EXPECT_EQ(format.color, kBlue);
}

struct CodePageCase {
    const char* name;
    std::string rtf;
    std::string expected;
    bool lossy;  // expects a diagnostic of an unsupported code page
};

void PrintTo(const CodePageCase& c, std::ostream* out) { *out << c.name; }

class CodePageTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageTest, DecodesOrReplaces) {
    const ParseResult result = parse(GetParam().rtf);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(joinedText(result.document), GetParam().expected);
    const bool noted = std::ranges::any_of(result.diagnostics, [](const Diagnostic& d) {
        return d.kind == DiagnosticKind::UnsupportedCodePage;
    });
    EXPECT_EQ(noted, GetParam().lossy);
}

INSTANTIATE_TEST_SUITE_P(
    Decoding, CodePageTest,
    ::testing::Values(
        CodePageCase{"DefaultIs1252", "{\\rtf1 \\'e9}", "\xC3\xA9", false},
        CodePageCase{"Explicit1252", "{\\rtf1\\ansi\\ansicpg1252 \\'e9}", "\xC3\xA9", false},
        CodePageCase{"OtherCodePageKeepsAscii", "{\\rtf1\\ansi\\ansicpg1251 abc\\'e9}",
                     "abc\xEF\xBF\xBD", true},
        CodePageCase{"OtherCodePageUnicodeWorks", "{\\rtf1\\ansi\\ansicpg1251 \\u1078\\'e6}",
                     "\xD0\xB6", false},
        CodePageCase{"MacCodePage", "{\\rtf1\\mac \\'8e}", "\xEF\xBF\xBD", true},
        CodePageCase{"FontCharsetOtherThanAnsi",
                     "{\\rtf1{\\fonttbl{\\f0\\fcharset204 Times;}}\\f0 a\\'e9}", "a\xEF\xBF\xBD",
                     true},
        CodePageCase{"FontCharsetAnsi", "{\\rtf1{\\fonttbl{\\f0\\fcharset0 Times;}}\\f0 \\'e9}",
                     "\xC3\xA9", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FontTable, ReadsEntriesWithoutGroupsAndWithNestedData) {
    const ParseResult result = parse(
        "{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\froman{\\*\\panose 02020603}Times "
        "New Roman;{\\f2 Caf\\'e9 Sans}}\\f0 a\\f1 b\\f2 c}");
    ASSERT_TRUE(result.ok()) << result.error;
    const auto& runs = result.document.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 3U);
    EXPECT_EQ(result.document.format(runs[0]).fontFamily, "Helvetica");
    EXPECT_EQ(result.document.format(runs[1]).fontFamily, "Times New Roman");
    EXPECT_EQ(result.document.format(runs[2]).fontFamily, "Caf\xC3\xA9 Sans");
}

TEST(Runs, SameFormatSharesOneRunAndOneFormatEntry) {
    const ParseResult result = parse(withTables("a{\\b b}{\\b c}\\cf7 d\\par{\\b e}"));
    const Document& document = result.document;
    ASSERT_EQ(document.paragraphs.size(), 2U);
    const auto& runs = document.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3U) << "\\cf7 is out of range, so 'd' has the default format";
    EXPECT_EQ(runs[1].text, "bc");
    EXPECT_EQ(runs[2].format, runs[0].format);
    EXPECT_EQ(document.paragraphs[1].runs.at(0).format, runs[1].format);
    EXPECT_EQ(document.formats.size(), 2U);
}

// The text of each cell of a table row, without the tabs that part them.
std::vector<std::string> cellTexts(const Paragraph& row) {
    std::vector<std::string> texts;
    const std::vector<std::size_t>& cells = row.cellFirstRuns;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::size_t end = c + 1 < cells.size() ? cells[c + 1] : row.runs.size();
        std::string text;
        for (std::size_t r = cells[c]; r < end; ++r) text += row.runs[r].text;
        if (c + 1 < cells.size()) {
            EXPECT_TRUE(text.ends_with('\t')) << "cell " << c << " ends with its tab";
            text.pop_back();
        }
        texts.push_back(text);
    }
    return texts;
}

TEST(Tables, RowsKnowTheirCells) {
    const ParseResult result = parse(withTables(
        "Before\\par\\trowd\\trgaph108\\cellx1000\\cellx3000\\cellx4000\\pard\\intbl "
        "A{\\b B}\\cell\\cell C\\par D\\cell\\row\n"
        "\\trowd\\cellx2000\\cellx4000\\pard\\intbl E\\cell F\\cell\\row\\pard After\\par"));
    ASSERT_TRUE(result.ok()) << result.error;
    const std::vector<Paragraph>& paragraphs = result.document.paragraphs;
    ASSERT_EQ(paragraphs.size(), 4U);
    EXPECT_TRUE(paragraphs[0].cellFirstRuns.empty());
    EXPECT_EQ(cellTexts(paragraphs[1]), (std::vector<std::string>{"AB", "", "C\nD"}));
    EXPECT_EQ(paragraphs[1].cellEnds, (std::vector<int>{1000, 3000, 4000}));
    EXPECT_EQ(cellTexts(paragraphs[2]), (std::vector<std::string>{"E", "F"}));
    EXPECT_EQ(paragraphs[2].cellEnds, (std::vector<int>{2000, 4000}));
    EXPECT_TRUE(paragraphs[3].cellFirstRuns.empty());
    EXPECT_TRUE(paragraphs[3].cellEnds.empty());
}

TEST(Tables, CellsPastTheLimitJoinTheLastCell) {
    std::string row = "\\trowd\\pard\\intbl ";
    for (int i = 0; i < 100; ++i) row += "c\\cell ";
    const ParseResult result = parse(withTables(row + "\\row"));
    ASSERT_EQ(result.document.paragraphs.size(), 1U);
    const std::vector<std::string> texts = cellTexts(result.document.paragraphs[0]);
    ASSERT_EQ(texts.size(), kMaxCells);
    EXPECT_EQ(texts.front(), "c");
    EXPECT_EQ(std::ranges::count(texts.back(), 'c'), 100 - static_cast<int>(kMaxCells) + 1);
}

TEST(TabStops, AreReadInOrderAndResetByPard) {
    const ParseResult result = parse(withTables("\\tx2880\\tx720 a\\par b\\par\\pard c\\par"));
    ASSERT_EQ(result.document.paragraphs.size(), 3U);
    EXPECT_EQ(result.document.paragraphs[0].format.tabStops, (std::vector<int>{720, 2880}));
    EXPECT_EQ(result.document.paragraphs[1].format.tabStops, (std::vector<int>{720, 2880}));
    EXPECT_TRUE(result.document.paragraphs[2].format.tabStops.empty());
}

struct DiagnosticCase {
    const char* name;
    std::string body;
    std::vector<DiagnosticKind> expected;
};

void PrintTo(const DiagnosticCase& c, std::ostream* out) { *out << c.name; }

class DiagnosticTest : public ::testing::TestWithParam<DiagnosticCase> {};

TEST_P(DiagnosticTest, ReportsWhatIsNotShown) {
    const ParseResult result = parse(withTables(GetParam().body));
    ASSERT_TRUE(result.ok()) << result.error;
    std::vector<DiagnosticKind> kinds;
    for (const Diagnostic& diagnostic : result.diagnostics) kinds.push_back(diagnostic.kind);
    EXPECT_EQ(kinds, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Diagnostics, DiagnosticTest,
    ::testing::Values(
        DiagnosticCase{
            "CleanDocument", "{\\b Bold}\\par{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}", {}},
        DiagnosticCase{
            "UnknownDestinationWithText", "{\\*\\zz secret}", {DiagnosticKind::SkippedText}},
        DiagnosticCase{
            "UnknownDestinationWithHexText", "{\\*\\zz \\'e9}", {DiagnosticKind::SkippedText}},
        DiagnosticCase{"UnknownDestinationWithoutText", "{\\*\\zz \\foo1 }", {}},
        DiagnosticCase{"Header", "{\\header H}", {DiagnosticKind::SkippedText}},
        DiagnosticCase{"EmptyFooter", "{\\footer }", {}},
        DiagnosticCase{"MetadataIsQuiet",
                       "{\\info{\\title T}}{\\*\\generator G;}{\\stylesheet{\\s0 Normal;}}"
                       "{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'01\\'b7;}}}}",
                       {}},
        DiagnosticCase{"Picture", "{\\pict 00}", {DiagnosticKind::Picture}},
        DiagnosticCase{"NulBytesOnce", std::string("a\0b\0c", 5), {DiagnosticKind::NulByte}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Diagnostics, NameTheSkippedGroupAndItsPlace) {
    const std::string rtf = withTables("before {\\*\\mystery hidden words} after");
    const ParseResult result = parse(rtf);
    ASSERT_EQ(result.diagnostics.size(), 1U);
    EXPECT_TRUE(losesText(result.diagnostics[0].kind));
    EXPECT_NE(result.diagnostics[0].message.find("\\mystery"), std::string::npos);
    EXPECT_EQ(result.diagnostics[0].offset, rtf.find("\\mystery"));
}

TEST(Diagnostics, AreCappedAndCounted) {
    std::string body;
    for (int i = 0; i < 1000; ++i) body += "{\\*\\zz x}";
    const ParseResult result = parse(withTables(body));
    EXPECT_EQ(result.diagnostics.size(), kMaxDiagnostics);
    EXPECT_EQ(result.omittedDiagnostics, 1000 - kMaxDiagnostics);
}

// A document that uses most features, for the invariance tests.
const std::string kSample = withTables(
    "\\pard\\qc\\sb120\\sa60{\\b\\fs32 Nitrous basics}\\par\n"
    "\\pard\\li720\\fi-360{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}"
    "Jet sizes {\\i matter}, see {\\field{\\*\\fldinst HYPERLINK \"https://example.com/\"}"
    "{\\fldrslt {\\ul\\cf2 the guide}}}.\\par\n"
    "\\pard Caf\\'e9 \\emdash\\uc0\\u8364 {\\super 2} {\\highlight1 hot}\\line next\\tab col\\par\n"
    "\\trowd\\cellx2000\\cellx4000\\pard\\intbl Jet\\cell HP\\cell\\row\n"
    "\\pard\\plain\\f3 End\\par\n");

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST(Invariance, LineEndsDoNotMatter) {
    const ParseResult lf = parse(kSample);
    ASSERT_TRUE(lf.ok());
    ASSERT_EQ(lf.document.paragraphs.size(), 5U);
    const ParseResult crlf = parse(replaceAll(kSample, "\n", "\r\n"));
    const ParseResult cr = parse(replaceAll(kSample, "\n", "\r"));
    EXPECT_EQ(crlf.document, lf.document);
    EXPECT_EQ(cr.document, lf.document);
}

// Where a token starts; the space that ends a control word belongs to the word.
std::vector<std::size_t> tokenStarts(std::string_view rtf) {
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::vector<std::size_t> starts;
    std::size_t i = 0;
    while (i < rtf.size()) {
        starts.push_back(i);
        if (rtf[i] == '{' || rtf[i] == '}' || rtf[i] == '\n') {
            ++i;
        } else if (rtf[i] == '\\' && isLetter(rtf[i + 1])) {
            for (++i; isLetter(rtf[i]); ++i) {
            }
            if (rtf[i] == '-') ++i;
            while (isDigit(rtf[i])) ++i;
            if (rtf[i] == ' ') ++i;
        } else if (rtf[i] == '\\') {
            i += rtf[i + 1] == '\'' ? 4 : 2;
        } else {
            while (i < rtf.size() && rtf[i] != '\\' && rtf[i] != '{' && rtf[i] != '}') ++i;
        }
    }
    return starts;
}

TEST(Invariance, IgnorableGroupBetweenTokensChangesNothing) {
    const ParseResult original = parse(kSample);
    ASSERT_TRUE(original.ok());
    const std::vector<std::size_t> starts = tokenStarts(kSample);
    ASSERT_GT(starts.size(), 100U);
    // From the third token on: "{\rtf" must open the file. Not right after \*, which marks
    // the word that follows it.
    for (std::size_t i = 2; i < starts.size(); ++i) {
        const std::size_t at = starts[i];
        if (kSample.compare(starts[i - 1], 2, "\\*") == 0) continue;
        std::string changed = kSample;
        changed.insert(at, "{\\*\\zz ignored {\\b text} \\par\\'e9}");
        const ParseResult result = parse(changed);
        ASSERT_TRUE(result.ok()) << at;
        EXPECT_EQ(result.document, original.document)
            << "inserted at " << at << ": " << kSample.substr(at, 20);
    }
}

}  // namespace
}  // namespace moravik::rtf

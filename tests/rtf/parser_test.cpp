#include "moravik/rtf/parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "moravik/help_documents.h"
#include "rtf_test_support.h"

namespace moravik::rtf {
namespace {

using enum DiagnosticKind;

// The paragraphs' texts joined by '|'.
std::string joinedText(const Document& document) {
    std::string text;
    for (const Paragraph& paragraph : document.paragraphs) text += "|" + plainText(paragraph);
    return text.substr(text.empty() ? 0 : 1);
}

// A file, the text it shows, what parse() reports of what it does not show, or why it is refused.
struct ReadCase {
    std::string rtf;
    std::string text;
    std::vector<DiagnosticKind> diagnostics = {};
    std::string error = {};
};

void expectReads(const ReadCase& c) {
    SCOPED_TRACE(c.rtf.substr(0, 300));
    const ParseResult result = parse(c.rtf);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(joinedText(result.document), c.text);
    std::vector<DiagnosticKind> kinds;
    for (const Diagnostic& diagnostic : result.diagnostics) kinds.push_back(diagnostic.kind);
    EXPECT_EQ(kinds, c.diagnostics);
    EXPECT_EQ(result.document.truncated, std::ranges::count(kinds, Truncated) == 1);
}

// Bytes in a font without \fcharset, in a document of the code page.
std::string withCodePage(std::string_view page, std::string_view bytes) {
    return "{\\rtf1\\ansi\\ansicpg" + std::string(page) +
           "\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 " + std::string(bytes) + "\\par}";
}

TEST(RtfParser, ReadsTextByFeature) {
    const ReadCase cases[] = {
        // Paragraphs, line breaks, tabs and the characters that carry no text.
        {withTables("A\\par\\par B\\sect C\\page D"), "A||B|C|D"},
        {withTables("A\\line B\\tab C\tD"), "A\nB\tC\tD"},
        {withTables("A\r\nB\nC\rD\\\nE"), "ABCD|E"},
        {withTables("\\b Bold\\b0  two \\\\ \\{ \\}"), "Bold two \\ { }"},
        {withTables("\\trowd\\cellx9\\cellx99\\pard\\intbl A\\par B\\cell C\\cell\\row\\pard D"),
         "A\nB\tC|D"},
        // Characters: code page 1252, named punctuation, \uN with its \ucN fallback.
        {withTables("caf\\'e9 \\'80\\'93q\\'94\\'81"), "café €“q”\uFFFD"},
        {withTables("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote a\\~b\\-c\\_d"),
         "—–•‘’“”a\u00A0b\u00ADc\u2011d"},
        {withTables("\\u8364?x\\u8364\\emdash y"), "€x€y"},
        {withTables("{\\uc0\\u8364 x}\\u8364?{\\uc3\\u8364}ab"), "€x€€ab"},
        {withTables("\\uc2\\u8364\\'80\\'80x\\u8364 abc"), "€x€c"},
        {withTables("\\u-28671?\\u-10179?\\u-8704?"), "送\U0001F600"},
        {withTables("\\u-10179?x\\u-8704?y\\u99999999999?z"), "\uFFFDx\uFFFDy\uFFFDz"},
        // Code pages: the font's character set first, then \ansicpg; glibc's tables decode.
        {withTables("{\\f1 \\'b7\\'b3}{\\f2 \\'a7}"), "•≥▪"},
        {"{\\rtf1\\ansi\\ansicpg1251 \\u1078\\'e6}", "ж"},
        {"{\\rtf1\\mac \\'8e}", "é"},
        {"{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 T;}}\\f0 \\'e9}", "é"},
        {"{\\rtf1{\\fonttbl{\\f0\\fcharset204 T;}{\\f1\\cpg1253 G;}}\\f0 \\'e9\\f1\\'e9}", "йι"},
        {"{\\rtf1\\ansicpg932 \\'82\\'a0\\'83A}", "あア"},
        {"{\\rtf1\\ansicpg4242 abc\\'e9}", "abc\uFFFD", {UnsupportedCodePage}},
        // Bullets and numbers, old style and new.
        {withTables("{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}A\\par"
                    "{\\listtext\\pard\\plain\\f1 \\'b7\\tab}B\\par{\\listtext 1.\\tab}C"),
         "•\tA|•\tB|1.\tC"},
        // An outline heading's empty number and its tab would indent it.
        {withTables("{\\listtext\\pard\\plain \\tab}Jets\\par x{\\listtext \\tab}y{\\listtext  }"),
         "Jets|xy"},
        // A list number whose paragraph ends inside it keeps what the new paragraph holds.
        {withTables("xxxxxxxxxx{\\listtext \\par y}z"), "xxxxxxxxxx|yz"},
        // Notes follow the text, each with its mark; \\chftn numbers them.
        {withTables(
             "A{\\super\\chftn}{\\*\\footnote\\pard\\plain{\\super\\chftn} One.}B"
             "{\\super\\chftn}{\\*\\footnote {\\chftn} Two.\\par Three.}C\\par D{\\footnote *}"),
         "A1B2C|D|1 One.|2 Two.|Three.|*"},
        // Skipped groups; those that hide text are reported.
        {withTables("{\\*\\zz a {\\b b}}A{\\*\\zz \\'e9}{\\*\\zz \\foo1 }{\\*\\b s}"
                    "{\\header H}{\\footer }B"),
         "AB",
         {SkippedText, SkippedText, SkippedText, SkippedText}},
        {withTables("{\\info{\\title T}}{\\*\\generator G;}{\\stylesheet{\\s0 Normal;}}"
                    "{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'01\\'b7;}}}}A"),
         "A"},
        {withTables("a{\\v hidden}{\\unknownword b}{\\annotation Note}"), "ab", {SkippedText}},
        {withTables("{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}{\\field{\\*\\fldinst PAGE}}x"
                    "{\\object{\\*\\objclass P}{\\*\\objdata 0102}{\\result R}}A\\bin3 xyzB"),
         "7xRAB"},
        // What word processors write. The code pages' letters are those of Microsoft's code page
        // charts for 1251 and 1253; Symbol's, Adobe's Symbol encoding (Unicode's
        // MAPPINGS/VENDORS/ADOBE/symbol.txt).
        {kWordHead + "a {\\f3 \\u-3917\\'b3} b {\\f3 \\u-3876\\'dc}\\par}", "a ≥ b ⇐"},
        {kWordHead +
             "2{\\field{\\*\\fldinst SYMBOL 180 \\\\f \"Symbol\" \\\\s 12}{\\fldrslt\\f3}}3\\par}",
         "2×3"},
        {kWordHead + "One\\column Two\\softline Three\\par}", "One|Two\nThree"},
        {"{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fnil\\fcharset204 Calibri;}}\\f0 "
         "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par}",
         "Привет"},
        {"{\\rtf1\\ansi\\ansicpg1253{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}}\\f0 "
         "\\'c3\\'e5\\'e9\\'e1 \\'f3\\'ef\\'f5\\par}",
         "Γεια σου"},
        // A font entry without \fcharset follows \ansicpg. The texts are Python's codecs'
        // (cp1250, cp1251, cp932, cp1255, cp1258) decoding of the same bytes.
        {withCodePage("1251", "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\'ec\\'e8\\'f0"), "Привет мир"},
        {withCodePage("1250", "\\'8elu\\'9dou\\'e8k\\'fd k\\'f9\\'f2"), "Žluťoučký kůň"},
        {withCodePage("932", "\\'93\\'fa\\'96\\'7b\\'8c\\'ea"), "日本語"},
        {withCodePage("1255", "\\'f9\\'ec\\'e5\\'ed"), "שלום"},
        {withCodePage("1258", "Vi\\'ea\\'f2t Nam"), "Vi\u00ea\u0323t Nam"},
        // The symbol fonts' glyphs, by the lines of the Unicode Technical Committee's
        // WDingsSources.txt that name them: "1F5F9;1254", "0263A;1074", "02713;1252", "1F5F8;2080",
        // "02042;2249", "1F577;0033", "1F54A;0255", "02B60;3033", "025BC;3113" and "1F8AB;3101".
        {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fnil\\fcharset2 Wingdings;}{\\f2\\fnil "
         "Wingdings 2;}{\\f3\\fnil\\fcharset2 Webdings;}{\\f4\\fnil\\fcharset2 Wingdings 3;}}"
         "\\f1\\'fe\\'4a\\u-3844\\'fc\\f2\\'50\\'f9\\f3\\'21\\'ff\\f4\\'21\\'71\\u-3995?\\par}",
         "\U0001F5F9\u263A\u2713\U0001F5F8\u2042\U0001F577\U0001F54A\u2B60\u25BC\U0001F8AB"},
        // kPictureText stands for a picture, also for one left out, which the builder mentions.
        {withTables("A{\\pict\\wmetafile8\\picw10 0102ff}B{\\pict\\bin4 }}}{}C"
                    "{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}"),
         "A\uFFFCB\uFFFCC\uFFFC",
         {Picture, Picture, Picture}},
    };
    for (const ReadCase& c : cases) expectReads(c);
}

std::string nested(std::size_t innerGroups) {
    return "{\\rtf1 " + repeated("{", innerGroups) + "x" + repeated("}", innerGroups) + "}";
}

TEST(RtfParser, RefusesOrBoundsHostileInput) {
    const std::string notRtf = "the file is not a Rich Text Format document";
    const std::string tooDeep = "the file nests groups more than 256 levels deep";
    const std::string longWord = "the file has a control word longer than 32 letters";
    const ReadCase cases[] = {
        {"", "", {}, "the file is empty"},
        {" \r\n\t", "", {}, notRtf},
        {"Hello, world", "", {}, notRtf},
        {std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "", {}, notRtf},
        {std::string(64, '\0'), "", {}, notRtf},
        {"{rtf1 x}", "", {}, notRtf},
        {nested(kMaxGroupDepth), "", {}, tooDeep},
        {nested(100000), "", {}, tooDeep},
        {"{\\rtf1{\\*\\zz " + repeated("{", 300) + repeated("}", 300) + "}}", "", {}, tooDeep},
        {"{\\rtf1 \\" + std::string(33, 'a') + " x}", "", {}, longWord},
        {"\r\n {\\rtf1 A}", "A"},
        {"\xEF\xBB\xBF{\\rtf1 A}", "A"},  // a UTF-8 byte-order mark
        {"\xEF\xBB\xBF", "", {}, "the file is empty"},
        {"\xEF\xBB\xBFHello", "", {}, notRtf},
        {nested(kMaxGroupDepth - 1), "x"},
        {"{\\rtf1 \\" + std::string(32, 'a') + " x}", "x"},
        {"{\\rtf1 Hello {\\b world", "Hello world", {Truncated}},
        {"{\\rtf1 A\\", "A", {Truncated}},
        {"{\\rtf1 A\\'", "A", {Truncated}},
        {"{\\rtf1 A\\'4", "A", {Truncated}},
        {"{\\rtf", "", {Truncated}},
        {"{\\rtf1{\\*\\zz {{{}", "", {Truncated}},
        {"{\\rtf1 A{\\pict\\pngblip 0102", "A", {Truncated}},
        {"{\\rtf1 A\\bin100 xyz}", "A", {Truncated}},
        {"{\\rtf1 A\\bin99999999999999 xyz}", "A", {Truncated}},
        {"{\\rtf1 A\\bin-5 B}", "AB"},
        {"{\\rtf1 A}}B}", "A", {TrailingContent}},
        {std::string("{\\rtf1 A}\r\n\0", 12), "A"},
        {std::string("{\\rtf1 A\0B\0\0C}", 14), "ABC", {NulByte}},
        {"{\\rtf1\\fs99999999999999999999999999 \\u-99999999999?x}", "\uFFFDx"},
        {"{\\rtf1 a\\'zzb}", "azzb"},
        {"{\\rtf1 a\x01\x1Fg\\'07h}", "agh"},
    };
    for (const ReadCase& c : cases) expectReads(c);
}

// Each limit on what a file can make the reader keep holds, and what is cut is told.
TEST(RtfParser, KeepsTableCellAndDiagnosticCountsBounded) {
    std::string fonts;
    for (int i = 0; i < 5000; ++i)
        fonts += "{\\f" + std::to_string(i) + " F" + std::to_string(i) + ";}";
    const ParseResult capped =
        parse("{\\rtf1{\\fonttbl" + fonts + "}{\\colortbl;" +
              repeated("\\red1\\green2\\blue3;", 5000) + "}\\f1 a\\f4999 b\\cf1 c\\cf4999 d}");
    EXPECT_EQ(capped.diagnostics.size(), 2U) << "one for the fonts, one for the colours";
    const Document& tables = capped.document;
    const auto& runs = tables.paragraphs.at(0).runs;
    EXPECT_EQ(tables.fontFamily(tables.format(runs[0])), "F1");
    EXPECT_EQ(tables.fontFamily(tables.format(runs[1])), "");
    EXPECT_EQ(tables.format(runs.at(2)).color, (Rgb{1, 2, 3}));
    EXPECT_EQ(tables.format(runs.at(3)).color, std::nullopt);

    const Document cells =
        parse(withTables("\\trowd\\pard\\intbl " + repeated("c\\cell ", 100) + "\\row")).document;
    ASSERT_EQ(cells.paragraphs.size(), 2U) << "a row of more cells goes on in the next";
    EXPECT_EQ(cells.paragraphs[0].cellFirstRuns.size(), kMaxCells);
    EXPECT_EQ(cells.paragraphs[1].cellFirstRuns.size(), 100 - kMaxCells);
    EXPECT_EQ(std::ranges::count(joinedText(cells), 'c'), 100);

    const Document link =
        parse(withTables("{\\field{\\*\\fldinst HYPERLINK \"http://a.example/\"}" +
                         repeated("{\\fldrslt {\\b x}{\\fs30 y}}", 1000) + "}"))
            .document;
    EXPECT_EQ(link.links, std::vector<std::string>{"http://a.example/"});
    EXPECT_EQ(link.formats.size(), 2U) << "the field's results share its link";

    const ParseResult diagnosed = parse(withTables(repeated("{\\*\\zz x}", 1000)));
    EXPECT_EQ(diagnosed.diagnostics.size(), kMaxDiagnostics);
    EXPECT_EQ(diagnosed.omittedDiagnostics, 1000 - kMaxDiagnostics);
}

// A document of many times the cost is cut where it would cost Qt more than kMaxDocumentCost,
// and marked so: its beginning is kept as written. A document well within the cost is whole.
TEST(RtfParser, CutsALargeDocumentAndSaysSo) {
    const std::string sentences = repeated("Nitrous and fuel jets are sized together. ", 24);
    const std::string paragraph =
        "Jet {\\b 0.062} and {\\i fuel}, caf\\'e9 \\u8364? \\emdash " + sentences + "done.\\par\n";
    const std::string shownParagraph = "Jet 0.062 and fuel, café € —" + sentences + "done.";
    const auto read = [&](std::size_t bytes) {
        return parse("{\\rtf1{\\fonttbl{\\f0 Arial;}}" +
                     repeated(paragraph, bytes / paragraph.size() + 1) + "}");
    };

    const ParseResult whole = read(kMaxDocumentCost / 4);
    EXPECT_TRUE(whole.ok() && whole.diagnostics.empty()) << whole.error;
    EXPECT_FALSE(whole.document.cut);
    EXPECT_EQ(plainText(whole.document.paragraphs.front()), shownParagraph);

    const ParseResult cut = read(8 * kMaxDocumentCost);
    ASSERT_TRUE(cut.ok()) << cut.error;
    ASSERT_EQ(cut.diagnostics.size(), 1U);
    EXPECT_EQ(cut.diagnostics[0].kind, DocumentCut);
    EXPECT_TRUE(cut.document.cut);
    const std::vector<Paragraph>& shown = cut.document.paragraphs;
    ASSERT_GT(shown.size(), 2U);
    EXPECT_EQ(plainText(shown[0]), shownParagraph);
    EXPECT_EQ(plainText(shown[shown.size() - 2]), shownParagraph);
    EXPECT_LT(shown.size() * paragraph.size(), kMaxDocumentCost) << "no more than it may cost";
    EXPECT_EQ(cut.document.formats.size(), 3U) << "each distinct format is kept once";

    // The placeholder that says why a picture is left out costs the text it shows.
    const ParseResult pictures =
        parse(withTables(repeated("{\\pict\\wmetafile8 00}", kMaxDocumentCost / 8)));
    std::size_t placeholderBytes = 0;
    for (const auto& picture : pictures.document.pictures)
        placeholderBytes += picture.leftOut.size();
    EXPECT_TRUE(pictures.document.cut);
    EXPECT_LT(placeholderBytes, kMaxDocumentCost);
}

// A 4096 x 4096 PNG fits the budget at 8 bits a channel, and not at 16, which decodes to
// twice the bytes. Only its header is read here.
TEST(RtfParser, CountsDecodedPictureBytes) {
    for (const auto& [depth, shown] : {std::pair{"08", true}, std::pair{"10", false}}) {
        const ParseResult result = parse(
            withTables(std::string("{\\pict\\pngblip 89504e470d0a1a0a0000000d4948445200001000") +
                       "00001000" + depth + "0600000000000000}"));
        EXPECT_EQ(result.document.pictures.size(), shown ? 1U : 0U) << depth;
        EXPECT_EQ(result.document.cut, !shown) << depth;
    }
}

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255};
const CharFormat kDefaultFormat{.font = 0, .color = {}, .highlight = {}, .link = {}};

// The format of "x" in "{body}y": body formats "x" only, so "y" has the default format.
CharFormat formatOfX(const std::string& body) {
    const Document document = parse(withTables("{" + body + "}y")).document;
    EXPECT_EQ(plainText(document.paragraphs.at(0)), "xy") << body;
    EXPECT_EQ(document.format(document.paragraphs[0].runs.back()), kDefaultFormat) << body;
    return document.format(document.paragraphs[0].runs.front());
}

TEST(RtfParser, FormatsCharacters) {
    using V = VerticalAlignment;
    const struct {
        std::string body;
        void (*change)(CharFormat&);
    } cases[] = {
        {"\\b\\i\\ul\\strike x",
         [](CharFormat& f) { f.bold = f.italic = f.underline = f.strikeOut = true; }},
        {"\\uldb\\striked1 x", [](CharFormat& f) { f.underline = f.strikeOut = true; }},
        {"\\fs32 x", [](CharFormat& f) { f.halfPoints = 32; }},
        {"\\b\\b0\\ul\\ulnone\\strike\\strike0\\super\\nosupersub\\cf2\\cf0\\fs0 x",
         [](CharFormat&) {}},
        {"\\fs-5\\cf7\\highlight99 x", [](CharFormat&) {}},
        {"\\fs99999999999 x", [](CharFormat& f) { f.halfPoints = 3276; }},
        {"\\f3 x", [](CharFormat& f) { f.font = 3; }},
        {"\\f99 x", [](CharFormat& f) { f.font.reset(); }},
        {"\\caps x", [](CharFormat& f) { f.capitalization = Capitalization::AllCaps; }},
        {"\\scaps x", [](CharFormat& f) { f.capitalization = Capitalization::SmallCaps; }},
        {"\\caps\\caps0 x", [](CharFormat&) {}},
        {"\\cf1 x", [](CharFormat& f) { f.color = kRed; }},
        {"\\cf-1 x", [](CharFormat&) {}},
        {"\\highlight2 x", [](CharFormat& f) { f.highlight = kBlue; }},
        {"\\cb1 x", [](CharFormat& f) { f.highlight = kRed; }},
        {"\\super x", [](CharFormat& f) { f.verticalAlignment = V::Superscript; }},
        {"\\sub x", [](CharFormat& f) { f.verticalAlignment = V::Subscript; }},
        {"\\up6 x", [](CharFormat& f) { f.verticalAlignment = V::Superscript; }},
        {"\\dn6 x", [](CharFormat& f) { f.verticalAlignment = V::Subscript; }},
        {"\\b\\i\\ul\\strike\\fs40\\cf1\\highlight2\\f3\\super\\plain x", [](CharFormat&) {}},
        {"\\field{\\*\\fldinst HYPERLINK \"http://a.example\"}{\\fldrslt {\\plain\\ul\\cf2 x}}",
         [](CharFormat& f) {
             f.link = 0;
             f.underline = true;
             f.color = kBlue;
         }},
    };
    for (const auto& c : cases) {
        CharFormat expected = kDefaultFormat;
        c.change(expected);
        EXPECT_EQ(formatOfX(c.body), expected) << c.body;
    }
    EXPECT_EQ(
        parse(withTables("")).document.fonts,
        (std::vector<std::string>{"Arial", "Symbol", "Wingdings", "Courier New", "Café Sans"}));
}

TEST(RtfParser, LinksOnlyWebAndMailAddresses) {
    const struct {
        std::string code;  // the field's instruction
        std::string link;  // empty: the field's text is plain text
    } cases[] = {
        {"HYPERLINK \"http://example.com/\"", "http://example.com/"},
        {"HYPERLINK \"mailto:me@example.com\"", "mailto:me@example.com"},
        {"hyperlink \"HTTPS://Example.com\"", "HTTPS://Example.com"},
        {"HYPERLINK http://bare.example/", "http://bare.example/"},
        {"HYPERLINK \"http://a.example/\" \\\\o \"tip\"", "http://a.example/"},
        {"HYPERLINK \\\\o \"http://tip.example\" \"https://b.example\"", "https://b.example"},
        {"{\\rtlch HYPERLINK }{\"http://nested.example/\"}", "http://nested.example/"},
        {"HYPERLINK \"file:///etc/passwd\"", ""},
        {"HYPERLINK \"javascript:alert(1)\"", ""},
        {"HYPERLINK \"C:\\\\\\\\Windows\\\\\\\\notepad.exe\"", ""},
        {"HYPERLINK \"other.rtf\"", ""},
        {"HYPERLINK \\\\l \"_Toc1\"", ""},
        {"HYPERLINK \"http://a b\"", ""},
        {"INCLUDETEXT \"http://a.example\"", ""},
        {"HYPERLINK \"http://" + std::string(1'000'000, 'a') + "\"", ""},  // cut, so no link
    };
    for (const auto& c : cases) {
        const Document document =
            parse(withTables("\\field{\\*\\fldinst " + c.code + "}{\\fldrslt x}")).document;
        EXPECT_EQ(document.link(document.format(document.paragraphs.at(0).runs.at(0))), c.link);
    }
}

TEST(RtfParser, FormatsParagraphs) {
    using enum Alignment;
    const struct {
        std::string body;  // ends with the paragraph to check
        ParagraphFormat expected;
    } cases[] = {
        {"\\qc x\\par", {Center, 0, 0, 0, 0, 0, {}}},
        {"\\qr x", {Right, 0, 0, 0, 0, 0, {}}},
        {"\\qj x\\par", {Justify, 0, 0, 0, 0, 0, {}}},
        {"{\\qc x\\par}", {Center, 0, 0, 0, 0, 0, {}}},
        {"\\qc\\ql x\\par", {}},
        {"\\li720\\ri360\\fi-360 x\\par", {Left, 720, 360, -360, 0, 0, {}}},
        {"\\lin1440\\rin720 x\\par", {Left, 1440, 720, 0, 0, 0, {}}},
        {"\\sb120\\sa240 x\\par", {Left, 0, 0, 0, 120, 240, {}}},
        {"\\sb-100 x\\par", {}},
        {"\\li99999999999\\fi-99999999999 x\\par", {Left, 31680, 0, -31680, 0, 0, {}}},
        {"\\tx2880\\tx720 x", {Left, 0, 0, 0, 0, 0, {{720}, {2880}}}},
        // A tab's kind belongs to the \\tx after it.
        {"\\tqr\\tx2880\\tqc\\tx720\\tqdec\\tx4320\\tx5000 x",
         {.tabStops = {{720, TabAlignment::Center},
                       {2880, TabAlignment::Right},
                       {4320, TabAlignment::Decimal},
                       {5000, TabAlignment::Left}}}},
        {"\\qc\\li720\\sa100\\tx720\\pard x\\par", {}},
        // The format carries on from paragraph to paragraph until \pard.
        {"\\qc\\tx720 a\\par b\\par", {Center, 0, 0, 0, 0, 0, {{720}}}},
        {"\\qc\\tx720 a\\par\\pard b\\par", {}},
    };
    for (const auto& c : cases) {
        const std::vector<Paragraph> paragraphs = parse(withTables(c.body)).document.paragraphs;
        EXPECT_EQ(paragraphs.at(paragraphs.size() - 1).format, c.expected) << c.body;
    }
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

TEST(RtfParser, LineEndsAndIgnorableGroupsChangeNothing) {
    const Document original = parse(kSample).document;
    ASSERT_EQ(original.paragraphs.size(), 5U);
    for (const char* lineEnd : {"\r\n", "\r"}) {
        std::string changed;
        for (char c : kSample) changed += c == '\n' ? std::string(lineEnd) : std::string(1, c);
        EXPECT_EQ(parse(changed).document, original) << "line end " << int(lineEnd[1]);
    }
    // Before each brace, control word and line end, but not at the start, which must be "{\rtf",
    // nor right after \*, which marks the word that follows it.
    const char* tokenStarts = "{}\\\n";
    for (auto at = kSample.find_first_of(tokenStarts, 2); at != std::string::npos;
         at = kSample.find_first_of(tokenStarts, at + 1)) {
        if (kSample.compare(at - 2, 2, "\\*") == 0) continue;
        std::string changed = kSample;
        changed.insert(at, "{\\*\\zz ignored {\\b text} \\par\\'e9}");
        EXPECT_EQ(parse(changed).document, original)
            << "at " << at << ": " << kSample.substr(at, 20);
    }
}

// Each help document shipped with the program reads without losing any of its text.
TEST(RtfParser, ReadsShippedDocumentsWhole) {
    for (const auto& [window, name] : docs::kHelpDocuments) {
        std::ifstream file(std::string(MORAVIK_DOCS_DIR) + "/" + std::string(name),
                           std::ios::binary);
        const ParseResult result = parse(std::string(std::istreambuf_iterator<char>(file), {}));
        ASSERT_TRUE(result.ok()) << name << ": " << result.error;
        for (const Diagnostic& diagnostic : result.diagnostics) {
            EXPECT_FALSE(losesText(diagnostic.kind))
                << name << ": " << diagnostic.message << " at byte " << diagnostic.offset;
        }
        EXPECT_EQ(result.omittedDiagnostics, 0U) << name;
        EXPECT_GT(joinedText(result.document).size(), 1000U) << name << " has more to say";
    }
}

}  // namespace
}  // namespace moravik::rtf

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "moravik/rtf/parser.h"
#include "rtf_test_support.h"

namespace moravik::rtf {
namespace {

using testing::joinedText;

bool hasDiagnostic(const ParseResult& result, DiagnosticKind kind) {
    return std::ranges::any_of(result.diagnostics,
                               [kind](const Diagnostic& d) { return d.kind == kind; });
}

struct RefusedCase {
    const char* name;
    std::string bytes;
    std::string error;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

class RefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedTest, GivesAClearError) {
    const ParseResult result = parse(GetParam().bytes);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error, GetParam().error);
    EXPECT_TRUE(result.document.paragraphs.empty());
}

std::string nested(std::size_t innerGroups) {
    return "{\\rtf1 " + std::string(innerGroups, '{') + "x" + std::string(innerGroups, '}') + "}";
}

const std::string kNotRtf = "the file is not a Rich Text Format document";

INSTANTIATE_TEST_SUITE_P(
    Hostile, RefusedTest,
    ::testing::Values(
        RefusedCase{"Empty", "", "the file is empty"},
        RefusedCase{"OnlyBlanks", " \r\n\t", kNotRtf},
        RefusedCase{"PlainText", "Hello, world", kNotRtf},
        RefusedCase{"PngRenamed", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), kNotRtf},
        RefusedCase{"JpegRenamed", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11), kNotRtf},
        RefusedCase{"NulBytes", std::string(64, '\0'), kNotRtf},
        RefusedCase{"BraceWithoutRtf", "{rtf1 x}", kNotRtf},
        RefusedCase{"TooDeep", nested(kMaxGroupDepth),
                    "the file nests groups more than 256 levels deep"},
        RefusedCase{"FarTooDeep", nested(100000),
                    "the file nests groups more than 256 levels deep"},
        RefusedCase{"TooDeepWhileSkipping",
                    "{\\rtf1{\\*\\zz " + std::string(300, '{') + std::string(300, '}') + "}}",
                    "the file nests groups more than 256 levels deep"},
        RefusedCase{"WordTooLong", "{\\rtf1 \\" + std::string(33, 'a') + " x}",
                    "the file has a control word longer than 32 letters"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BoundedCase {
    const char* name;
    std::string bytes;
    std::string expectedText;
    std::vector<DiagnosticKind> expectedDiagnostics;
};

void PrintTo(const BoundedCase& c, std::ostream* out) { *out << c.name; }

class BoundedTest : public ::testing::TestWithParam<BoundedCase> {};

TEST_P(BoundedTest, KeepsWhatCanBeRead) {
    const ParseResult result = parse(GetParam().bytes);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(joinedText(result.document), GetParam().expectedText);
    std::vector<DiagnosticKind> kinds;
    for (const Diagnostic& diagnostic : result.diagnostics) kinds.push_back(diagnostic.kind);
    EXPECT_EQ(kinds, GetParam().expectedDiagnostics);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, BoundedTest,
    ::testing::Values(
        BoundedCase{"LeadingBlanks", "\r\n {\\rtf1 A}", "A", {}},
        BoundedCase{"DeepestAllowed", nested(kMaxGroupDepth - 1), "x", {}},
        BoundedCase{"LongestWord", "{\\rtf1 \\" + std::string(32, 'a') + " x}", "x", {}},
        BoundedCase{
            "Truncated", "{\\rtf1 Hello {\\b world", "Hello world", {DiagnosticKind::Truncated}},
        BoundedCase{"TruncatedAfterBackslash", "{\\rtf1 A\\", "A", {DiagnosticKind::Truncated}},
        BoundedCase{"TruncatedInHexEscape", "{\\rtf1 A\\'", "A", {DiagnosticKind::Truncated}},
        BoundedCase{"TruncatedAfterOneHexDigit", "{\\rtf1 A\\'4", "A", {DiagnosticKind::Truncated}},
        BoundedCase{"TruncatedHeader", "{\\rtf", "", {DiagnosticKind::Truncated}},
        BoundedCase{"BinaryPastTheEnd", "{\\rtf1 A\\bin100 xyz}", "A", {DiagnosticKind::Truncated}},
        BoundedCase{"BinaryHugeLength",
                    "{\\rtf1 A\\bin99999999999999 xyz}",
                    "A",
                    {DiagnosticKind::Truncated}},
        BoundedCase{"BinaryNegativeLength", "{\\rtf1 A\\bin-5 B}", "AB", {}},
        BoundedCase{"ExtraClosingBrace", "{\\rtf1 A}}B}", "A", {DiagnosticKind::TrailingContent}},
        BoundedCase{"BlanksAfterTheEnd", std::string("{\\rtf1 A}\r\n\0", 12), "A", {}},
        BoundedCase{"NulBytesInText",
                    std::string("{\\rtf1 A\0B\0\0C}", 14),
                    "ABC",
                    {DiagnosticKind::NulByte}},
        BoundedCase{"ParameterOverflow",
                    "{\\rtf1\\fs99999999999999999999999999 \\u-99999999999?x}",
                    "\xEF\xBF\xBD"
                    "x",
                    {}},
        BoundedCase{"InvalidHexDigits", "{\\rtf1 a\\'zzb}", "azzb", {}},
        BoundedCase{"UnbalancedInsideSkippedGroup",
                    "{\\rtf1{\\*\\zz {{{}",
                    "",
                    {DiagnosticKind::Truncated}},
        BoundedCase{"ControlCharactersDropped",
                    "{\\rtf1 a\x01\x1F"
                    "b\\'07c}",
                    "abc",
                    {}},
        BoundedCase{"PictureWithoutEnd",
                    "{\\rtf1 A{\\pict 0102",
                    "A[picture]",
                    {DiagnosticKind::Picture, DiagnosticKind::Truncated}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Hostile, HugeFontAndColourTablesAreCapped) {
    std::string rtf = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 5000; ++i)
        rtf += "{\\f" + std::to_string(i) + " F" + std::to_string(i) + ";}";
    rtf += "}{\\colortbl;";
    for (int i = 0; i < 5000; ++i) rtf += "\\red1\\green2\\blue3;";
    rtf += "}\\f1 a\\f4999 b\\cf1 c\\cf4999 d}";
    const ParseResult result = parse(rtf);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.diagnostics.size(), 2U);
    EXPECT_TRUE(hasDiagnostic(result, DiagnosticKind::TableLimit));
    const auto& runs = result.document.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 4U);
    EXPECT_EQ(result.document.format(runs[0]).fontFamily, "F1");
    EXPECT_EQ(result.document.format(runs[1]).fontFamily, "") << "past the cap: the default";
    EXPECT_EQ(result.document.format(runs[2]).color, (Rgb{1, 2, 3}));
    EXPECT_EQ(result.document.format(runs[3]).color, std::nullopt);
}

TEST(Hostile, LongFieldInstructionAndFontNameStayBounded) {
    const std::string longText(1'000'000, 'a');
    const ParseResult result =
        parse("{\\rtf1{\\fonttbl{\\f0 " + longText +
              ";}}{\\field{\\*\\fldinst HYPERLINK \"http://" + longText + "\"}{\\fldrslt x}}}");
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.document.paragraphs.size(), 1U);
    const CharFormat& format = result.document.format(result.document.paragraphs[0].runs.at(0));
    EXPECT_EQ(format.fontFamily.size(), 256U);
    EXPECT_EQ(format.link, "") << "a cut address is no link";
}

// A 50 MB document is read whole, and what it produces stays in proportion to it.
TEST(Hostile, FiftyMegabyteDocument) {
    const std::string sentence = "The nitrous jet and the fuel jet are sized together. ";
    std::string paragraph = "Jet {\\b 0.062} and {\\i fuel}, caf\\'e9 \\u8364? \\emdash ";
    for (int i = 0; i < 20; ++i) paragraph += sentence;
    paragraph += "done.\\par\n";
    constexpr std::size_t kSize = 50 * 1024 * 1024;
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n";
    rtf.reserve(kSize + paragraph.size() + 2);
    std::size_t paragraphs = 0;
    while (rtf.size() < kSize) {
        rtf += paragraph;
        ++paragraphs;
    }
    rtf += "}";

    const ParseResult result = parse(rtf);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_TRUE(result.diagnostics.empty());
    ASSERT_EQ(result.document.paragraphs.size(), paragraphs);
    EXPECT_EQ(result.document.formats.size(), 3U);
    std::size_t textBytes = 0;
    for (const Paragraph& each : result.document.paragraphs) textBytes += plainText(each).size();
    EXPECT_LT(textBytes, rtf.size());
    std::string expected = "Jet 0.062 and fuel, caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x94";
    for (int i = 0; i < 20; ++i) expected += sentence;
    EXPECT_EQ(plainText(result.document.paragraphs.back()), expected + "done.");
}

}  // namespace
}  // namespace moravik::rtf

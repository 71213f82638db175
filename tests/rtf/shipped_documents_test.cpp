#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "moravik/rtf/parser.h"

namespace moravik::rtf {
namespace {

class ShippedDocumentTest : public ::testing::TestWithParam<const char*> {};

// Each help document shipped beside the program reads cleanly: nothing in it is skipped or
// replaced, so every word its author wrote is shown.
TEST_P(ShippedDocumentTest, ReadsWithoutLosingText) {
    const std::string path = std::string(MORAVIK_DOCS_DIR) + "/" + GetParam();
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << "cannot open " << path;
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};

    const ParseResult result = parse(bytes);
    ASSERT_TRUE(result.ok()) << result.error;
    for (const Diagnostic& diagnostic : result.diagnostics) {
        EXPECT_FALSE(losesText(diagnostic.kind))
            << diagnostic.message << " at byte " << diagnostic.offset;
    }
    EXPECT_EQ(result.omittedDiagnostics, 0U);
    std::size_t textBytes = 0;
    for (const Paragraph& paragraph : result.document.paragraphs) {
        textBytes += plainText(paragraph).size();
    }
    EXPECT_GT(textBytes, 1000U) << "a help document has more to say";
}

INSTANTIATE_TEST_SUITE_P(HelpDocuments, ShippedDocumentTest,
                         ::testing::Values("Nitroushelp.rtf", "NitrousFAQ.rtf", "Nitrous101.rtf"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace moravik::rtf

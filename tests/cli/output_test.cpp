#include <gtest/gtest.h>
#include <moravik/calculate.h>
#include <moravik/cli/output.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace moravik::cli {
namespace {

ResultTexts resultsFor(const InputTexts& inputs) {
    auto outcome = calculate(inputs);
    EXPECT_TRUE(std::holds_alternative<ResultTexts>(outcome));
    return std::get<ResultTexts>(outcome);
}

TEST(OutcomeJson, DefaultInputsGiveTheWindowsTextsInWritingOrder) {
    const auto results = resultsFor({});
    const auto json = nlohmann::ordered_json::parse(outcomeJson(results));
    ASSERT_EQ(json.size(), 1u);
    const auto& fields = json.at("fields");
    ASSERT_EQ(fields.size(), resultFieldCount);
    std::size_t position = 0;
    for (const auto& [name, text] : fields.items()) {
        EXPECT_EQ(name, resultFieldNames[position]);
        EXPECT_EQ(text, results[position].text) << name;
        ++position;
    }
    const std::vector<std::string> firstSeven{
        " .017", " .017", " 40.64508", " 34.548318", " 250.64508", " 213.048318", " 0"};
    for (std::size_t i = 0; i < firstSeven.size(); ++i)
        EXPECT_EQ(fields.at(std::string(resultFieldNames[i])), firstSeven[i]);
}

TEST(OutcomeJson, FaultsAreNamedByKind) {
    const std::vector<std::pair<Fault, std::string>> cases{
        {Fault::DivisionByZero, R"({"fault":"division by zero"})"},
        {Fault::Overflow, R"({"fault":"overflow"})"},
        {Fault::InvalidArgument, R"({"fault":"invalid argument"})"},
    };
    for (const auto& [fault, expected] : cases) EXPECT_EQ(outcomeJson(fault), expected);
}

TEST(OutcomeJson, NumberTextsAreWrittenAsTheJsonLibraryWouldWriteThem) {
    InputTexts denver;
    denver.altitudeDD = "Denver, CO  5800";
    auto results = resultsFor(denver);
    results[0].text = "-1.5E+300";
    nlohmann::ordered_json expected;
    for (const auto& field : results) expected["fields"][std::string(field.name)] = field.text;
    EXPECT_EQ(outcomeJson(results), expected.dump());
}

TEST(OutcomeJson, TextsThatNeedEscapingStillGiveValidJson) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"quote \" and backslash \\", "quote \" and backslash \\"},
        {"control \x01\n", "control \x01\n"},
        {"caf\xc3\xa9", "caf\xc3\xa9"},
        {"invalid \xff", "invalid \xef\xbf\xbd"},  // replaced by U+FFFD
    };
    for (const auto& [text, readBack] : cases) {
        auto results = resultsFor({});
        results[3].text = text;
        const auto json = nlohmann::json::parse(outcomeJson(results));  // throws if invalid
        EXPECT_EQ(json.at("fields").at("Textbox4"), readBack);
        EXPECT_EQ(json.at("fields").at("Totalhp"), " 250.64508");
    }
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> result;
    for (std::string word; stream >> word;) result.push_back(word);
    return result;
}

std::string lineStartingWith(const std::string& report, const std::string& start) {
    std::istringstream stream(report);
    for (std::string line; std::getline(stream, line);)
        if (line.starts_with(start)) return line;
    return {};
}

TEST(CalculationReport, QuarterMileRowsHoldTheFormulasFieldsInColumnOrder) {
    InputTexts inputs;
    inputs.altitudeDD = "Denver, CO  5800";
    const auto results = resultsFor(inputs);
    const auto report = calculationReport(inputs, results);
    const std::vector<std::pair<std::string, std::vector<std::string_view>>> rows{
        {"  Huntington ", {"huntet", "huntetn", "huntalt", "HuntaltMPH", "huntmph", "huntmphn"}},
        {"  Fox ", {"foxet", "foxetn", "foxalt", "FoxAltMPH", "foxmph", "foxmphn"}},
        {"  Hale ", {"haleet", "haleetn", "halealt", "HaleAltMPH", "halemph", "halemphn"}},
        {"  Lucius-RoadTrack ", {"lrtet", "lrtetn", "lrtalt", "lrtAltMPH", "lrtmph", "lrtmphn"}},
    };
    for (const auto& [start, fields] : rows) {
        const auto cells = words(lineStartingWith(report, start));
        ASSERT_EQ(cells.size(), fields.size() + 1) << start;
        for (std::size_t i = 0; i < fields.size(); ++i)
            EXPECT_EQ(" " + cells[i + 1], fieldText(results, fields[i])) << fields[i];
    }
}

TEST(CalculationReport, JetAndHorsepowerLinesShowTheExactTexts) {
    InputTexts inputs;
    inputs.jtn = "4";
    const auto results = resultsFor(inputs);
    const auto report = calculationReport(inputs, results);
    const std::vector<std::pair<std::string, std::string_view>> lines{
        {"  Fuel Jet:", "TextBox1"},           {"  Standard Jet size:", "Textbox2"},
        {"  Holley Jet #:", "Textbox5"},       {"  Calculated HP:", "TextBox3"},
        {"  HP to wheels:", "Textbox4"},       {"  Total HP(w/Nitrous):", "Totalhp"},
        {"  HP w/N2O to Wheels:", "TotalHPn"},
    };
    for (const auto& [label, field] : lines) {
        const auto line = lineStartingWith(report, label);
        EXPECT_NE(line.find(std::string(" ") + std::string(fieldText(results, field))),
                  std::string::npos)
            << line;
    }
    EXPECT_EQ(fieldText(results, "Textbox2"), " .034");
    EXPECT_EQ(fieldText(results, "noSuchField"), "");
}

}  // namespace
}  // namespace moravik::cli

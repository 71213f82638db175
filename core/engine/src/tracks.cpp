#include "moravik/tracks.h"

#include <algorithm>

namespace moravik {
namespace {

using namespace std::string_view_literals;

// Every strip appears under both group headings with the same text. The
// trailing blanks of the headings are part of the entries.
constexpr std::array<std::string_view, trackEntryCount> entries{
    "Comp, S/C, S/G, S/ST"sv,  "DIVISION 4"sv,           "Amarillo, TX  3700"sv,
    "Roswell, NM  3700"sv,     "------------------"sv,   "DIVISION 5  "sv,
    "Denver, CO  5800"sv,      "Douglas, WY  4900"sv,    "Grand Junction, CO  4800"sv,
    "Great Bend, KS  1900"sv,  "Julesburg, CO  3500"sv,  "Pueblo, CO  4900"sv,
    "------------------"sv,    "DIVISION 6  "sv,         "Anaconda, MT  5100"sv,
    "Ashcroft, CAN  1700"sv,   "Boise, ID  2700"sv,      "Calgary, CAN  3500"sv,
    "Lewistown, MT  4100"sv,   "Medic.Hat, CAN  2300"sv, "Saskatoon, CAN  1600"sv,
    "------------------"sv,    "DIVISION 7  "sv,         "Fallon, NV  4000"sv,
    "Inyokern, CA  2400"sv,    "Las Vegas, NV  2100"sv,  "Palmdale, CA  2700"sv,
    "Salt Lake, UT  4400"sv,   "Tucson, AZ  3000"sv,     "------------------"sv,
    "Stock & Super Stock  "sv, "DIVISION 4  "sv,         "Amarillo, TX  3700"sv,
    "Roswell, NM  3700"sv,     "------------------"sv,   "DIVISION 5  "sv,
    "Denver, CO  5800"sv,      "Douglas, WY  4900"sv,    "Grand Junction, CO  4800"sv,
    "Great Bend, KS  1900"sv,  "Julesburg, CO  3500"sv,  "Pueblo, CO  4900"sv,
    "------------------"sv,    "DIVISION 6  "sv,         "Anaconda, MT  5100"sv,
    "Ashcroft, CAN  1700"sv,   "Boise, ID  2700"sv,      "Calgary, CAN  3500"sv,
    "Lewistown, MT  4100"sv,   "Medic.Hat, CAN  2300"sv, "Saskatoon, CAN  1600"sv,
    "------------------"sv,    "DIVISION 7  "sv,         "Fallon, NV  4000"sv,
    "Inyokern, CA  2400"sv,    "Las Vegas, NV  2100"sv,  "Palmdale, CA  2700"sv,
    "Salt Lake, UT  4400"sv,   "Tucson, AZ  3000"sv,
};

struct StripFactors {
    std::string_view text;
    AltitudeFactors factors;
};

// The factors are stored, never derived from the altitude in the text.
constexpr std::array<StripFactors, 21> strips{{
    {"Amarillo, TX  3700"sv, {0.9549, 1.0479}},       {"Roswell, NM  3700"sv, {0.9549, 1.0479}},
    {"Denver, CO  5800"sv, {0.9276, 1.0773}},         {"Douglas, WY  4900"sv, {0.9393, 1.0647}},
    {"Grand Junction, CO  4800"sv, {0.9406, 1.0633}}, {"Great Bend, KS  1900"sv, {0.9783, 1.0227}},
    {"Julesburg, CO  3500"sv, {0.9575, 1.0451}},      {"Pueblo, CO  4900"sv, {0.9393, 1.0647}},
    {"Anaconda, MT  5100"sv, {0.9367, 1.0675}},       {"Ashcroft, CAN  1700"sv, {0.9809, 1.0199}},
    {"Boise, ID  2700"sv, {0.9679, 1.0339}},          {"Calgary, CAN  3500"sv, {0.9575, 1.0451}},
    {"Lewistown, MT  4100"sv, {0.9497, 1.0535}},      {"Medic.Hat, CAN  2300"sv, {0.9731, 1.0283}},
    {"Saskatoon, CAN  1600"sv, {0.9822, 1.0185}},     {"Fallon, NV  4000"sv, {0.951, 1.0521}},
    {"Inyokern, CA  2400"sv, {0.9718, 1.0297}},       {"Las Vegas, NV  2100"sv, {0.9757, 1.0255}},
    {"Palmdale, CA  2700"sv, {0.9679, 1.0339}},       {"Salt Lake, UT  4400"sv, {0.9458, 1.0577}},
    {"Tucson, AZ  3000"sv, {0.964, 1.0381}},
}};

// "Denver, CO  5800": the name, two blanks, then the elevation in feet.
constexpr TrackStrip stripOf(std::string_view entry) {
    const std::size_t gap = entry.rfind("  ");
    double feet = 0;
    for (const char digit : entry.substr(gap + 2)) feet = feet * 10 + (digit - '0');
    return {entry.substr(0, gap), feet};
}

constexpr std::array<TrackStrip, strips.size()> namedStrips = [] {
    std::array<TrackStrip, strips.size()> named{};
    for (std::size_t i = 0; i < strips.size(); ++i) named[i] = stripOf(strips[i].text);
    return named;
}();

}  // namespace

std::span<const std::string_view, trackEntryCount> trackEntries() { return entries; }

std::span<const TrackStrip> trackStrips() { return namedStrips; }

bool isTrackChoice(std::string_view text) {
    return text.empty() || std::find(entries.begin(), entries.end(), text) != entries.end();
}

std::optional<AltitudeFactors> altitudeFactorsFor(std::string_view trackText) {
    const auto strip = std::find_if(strips.begin(), strips.end(),
                                    [&](const StripFactors& s) { return s.text == trackText; });
    if (strip == strips.end()) return std::nullopt;
    return strip->factors;
}

std::optional<AltitudeAdjustedEstimates> adjustForAltitude(std::string_view trackText,
                                                           const QuarterMileEstimates& estimates) {
    const auto factors = altitudeFactorsFor(trackText);
    if (!factors) return std::nullopt;
    AltitudeAdjustedEstimates adjusted{};
    for (std::size_t i = 0; i < formulaCount; ++i) {
        // Factors lie between 0.92 and 1.08, so the products stay finite.
        adjusted[i] = {estimates[i].et * factors->et, estimates[i].mph * factors->mph};
    }
    return adjusted;
}

}  // namespace moravik

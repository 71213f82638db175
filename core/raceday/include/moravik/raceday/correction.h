// Horsepower correction to a standard day, and the relative horsepower of the air.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "moravik/raceday/air.h"

namespace moravik::raceday {

enum class Standard { SaeJ1349_1990, SaeJ1349_2004, SaeJ607, Din70020 };

struct StandardName {
    Standard standard;
    std::string_view key;    // as typed on the command line and written in JSON
    std::string_view title;  // as shown to people
};

inline constexpr std::array<StandardName, 4> standards{{
    {Standard::SaeJ1349_1990, "sae-j1349", "SAE J1349 (1990)"},
    {Standard::SaeJ1349_2004, "sae-j1349-2004", "SAE J1349 (2004)"},
    {Standard::SaeJ607, "sae-j607", "SAE J607 / STD"},
    {Standard::Din70020, "din-70020", "DIN 70020"},
}};

// J607 is the drag racers' custom.
inline constexpr Standard defaultStandard = Standard::SaeJ607;

constexpr const StandardName& standardName(Standard standard) {
    return standards[static_cast<std::size_t>(standard)];
}

std::optional<Standard> findStandard(std::string_view key);

// The factor that turns observed horsepower in this air into the standard's;
// above 1 in air worse than the standard day.
double correctionFactor(Standard standard, const Air& air);

// A correction factor as every report, window and page shows it: "1.0234".
std::string factorText(double factor);

// The horsepower this air allows, in percent of the standard day's.
constexpr double relativeHpPercent(double factor) { return 100 / factor; }

// Relative air density and horsepower are shown to this many decimals everywhere.
inline constexpr int percentDecimals = 2;

constexpr double correctedPower(double observed, double factor) { return observed * factor; }

}  // namespace moravik::raceday

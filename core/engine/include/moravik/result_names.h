// What every front end calls the 31 results: the label a report or a page puts
// before a figure, the short heading of a chart's column, the unit after the
// figure and the snake_case name of CSV headings. The labels are the main
// window's captions, which the help documents use too; moravik-calc's report,
// race day's answers, the jet chart and the web page take them from here.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "moravik/result_layout.h"

namespace moravik {

struct ResultName {
    std::string_view label;    // "Fuel Jet"; a report adds its colon
    std::string_view heading;  // a chart's column: short, after the formula's name
    std::string_view unit;     // empty when the label says it ("HP", "MPH")
    std::string_view key;      // CSV headings, after the formula's key
};

// Indexed by SingleResult.
inline constexpr std::array<ResultName, singleResultCount> singleResultNames{{
    {"Fuel Jet", "Fuel jet", "in", "fuel_jet"},
    {"Standard Jet size", "Std jet", "in", "standard_jet"},
    {"Calculated HP", "Nitrous HP", "", "nitrous_hp"},
    {"HP to wheels", "Wheels HP", "", "nitrous_hp_wheels"},
    {"Total HP(w/Nitrous)", "Total HP", "", "total_hp"},
    {"HP w/N2O to Wheels", "Total wheels HP", "", "total_hp_wheels"},
    {"Holley Jet #", "Jet #", "", "jet_number"},
}};

// Indexed by Column; each formula's results are named by its name and these.
inline constexpr std::array<ResultName, columnCount> columnNames{{
    {"Estimated 1/4 mile time", "ET", "s", "et"},
    {"1/4 mile time w/Nitrous", "ET w/N", "s", "et_nitrous"},
    {"Altitude adjusted time", "alt ET", "s", "et_altitude"},
    {"Altitude adjusted MPH", "alt MPH", "", "mph_altitude"},
    {"Estimated MPH", "MPH", "", "mph"},
    {"MPH w/Nitrous", "MPH w/N", "", "mph_nitrous"},
}};

constexpr const ResultName& resultName(SingleResult result) {
    return singleResultNames[static_cast<std::size_t>(result)];
}

constexpr const ResultName& resultName(Column column) {
    return columnNames[static_cast<std::size_t>(column)];
}

// The single results in groups, each under its heading, in the report's order.
struct ResultGroup {
    std::string_view heading;
    std::span<const SingleResult> results;
};

inline constexpr std::array<SingleResult, 3> jetResults{
    SingleResult::FuelJet, SingleResult::StandardJet, SingleResult::HolleyJet};
inline constexpr std::array<SingleResult, 4> horsepowerResults{
    SingleResult::NitrousHp, SingleResult::NitrousHpWheels, SingleResult::TotalHp,
    SingleResult::TotalHpWheels};

inline constexpr std::array<ResultGroup, 2> singleResultGroups{{
    {"Jets", jetResults},
    {"Nitrous HP Output", horsepowerResults},
}};

}  // namespace moravik

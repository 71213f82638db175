// Where each of the 31 result texts stands in the writing order.
//
// Seven single results come first, then six columns for each of the four
// quarter-mile formulas. Code names a result by these types, never by a
// field-name string, so a typo is a compile error rather than an empty box.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "moravik/quarter_mile.h"

namespace moravik {

enum class SingleResult {
    FuelJet,          // inches, for each nozzle
    StandardJet,      // inches, one jet with the area of all fuel jets
    NitrousHp,        // horsepower the nitrous adds
    NitrousHpWheels,  // the same at the wheels
    TotalHp,          // engine plus nitrous horsepower
    TotalHpWheels,    // the same at the wheels
    HolleyJet,        // Holley number of the standard jet
};

inline constexpr std::size_t singleResultCount = 7;

inline constexpr std::array<SingleResult, singleResultCount> singleResults{
    SingleResult::FuelJet,         SingleResult::StandardJet, SingleResult::NitrousHp,
    SingleResult::NitrousHpWheels, SingleResult::TotalHp,     SingleResult::TotalHpWheels,
    SingleResult::HolleyJet,
};

// The quarter-mile columns of each formula, in the writing order.
enum class Column {
    Et,           // seconds, without nitrous
    EtNitrous,    // seconds, with nitrous
    AltitudeEt,   // seconds, the strip's correction of Et
    AltitudeMph,  // the strip's correction of Mph
    Mph,          // without nitrous
    MphNitrous,   // with nitrous
};

inline constexpr std::size_t columnCount = 6;

inline constexpr std::array<Column, columnCount> columns{
    Column::Et,          Column::EtNitrous, Column::AltitudeEt,
    Column::AltitudeMph, Column::Mph,       Column::MphNitrous,
};

inline constexpr std::size_t resultFieldCount = singleResultCount + formulaCount * columnCount;

constexpr std::size_t resultIndex(SingleResult result) { return static_cast<std::size_t>(result); }

constexpr std::size_t resultIndex(Formula formula, Column column) {
    return singleResultCount + static_cast<std::size_t>(formula) * columnCount +
           static_cast<std::size_t>(column);
}

// The external names of the results, as the window's boxes and the JSON keys
// spell them, in the writing order.
inline constexpr std::array<std::string_view, resultFieldCount> resultFieldNames{
    "TextBox1",  "Textbox2",   "TextBox3",  "Textbox4",   "Totalhp", "TotalHPn", "Textbox5",
    "huntet",    "huntetn",    "huntalt",   "HuntaltMPH", "huntmph", "huntmphn", "foxet",
    "foxetn",    "foxalt",     "FoxAltMPH", "foxmph",     "foxmphn", "haleet",   "haleetn",
    "halealt",   "HaleAltMPH", "halemph",   "halemphn",   "lrtet",   "lrtetn",   "lrtalt",
    "lrtAltMPH", "lrtmph",     "lrtmphn",
};

}  // namespace moravik

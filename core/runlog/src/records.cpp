#include "moravik/runlog/records.h"

#include <cmath>

#include "moravik/raceday/prediction.h"
#include "moravik/runlog/log_columns.h"
#include "moravik/runlog/plausible.h"
#include "moravik/runlog/prediction.h"

namespace moravik::runlog {
namespace {

static_assert([] {
    for (std::size_t i = 0; i < plausibleRanges.size(); ++i) {
        if (static_cast<std::size_t>(plausibleRanges[i].measure) != i) return false;
    }
    return true;
}());

// `label` names the field where the range's own name is too general.
LogStatus outOfRange(Measure measure, std::optional<double> value, const char* label) {
    if (!value || isPlausible(measure, *value)) return std::nullopt;
    const PlausibleRange& range = plausibleRange(measure);
    const std::string name = label != nullptr ? std::string(label) : std::string(range.name);
    return LogError{Problem::Invalid, raceday::outOfRangeSentence(name, range.source) + "."};
}

}  // namespace

std::string trimmedText(std::string_view text) {
    constexpr std::string_view blanks = " \t\n\v\f\r";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

bool operator==(const Vehicle& a, const Vehicle& b) {
    for (const InputField& field : inputFields) {
        if (a.inputs.*field.text != b.inputs.*field.text) return false;
    }
    return a.id == b.id && a.name == b.name && a.notes == b.notes;
}

// Two runs are the same when every column of the log holds the same in both,
// so a new column is compared as soon as it has its row.
bool operator==(const Run& a, const Run& b) {
    if (a.id != b.id) return false;
    for (const LogColumn& column : logColumns) {
        if (column.sql.empty() || column.get == nullptr) continue;
        if (column.get(a) != column.get(b)) return false;
    }
    return true;
}

LogError vehicleNameTaken(std::string_view name) {
    return {Problem::Invalid,
            "A vehicle named \"" + trimmedText(name) + "\" is already in the log."};
}

LogStatus checkVehicle(const Vehicle& vehicle) {
    if (trimmedText(vehicle.name).empty())
        return LogError{Problem::Invalid, "A vehicle needs a name."};
    return std::nullopt;
}

LogStatus checkRun(const Run& run) {
    const auto* station = std::get_if<raceday::StationPressure>(&run.air.pressure);
    const auto* altimeter = std::get_if<raceday::AltimeterSetting>(&run.air.pressure);
    const struct {
        Measure measure;
        std::optional<double> value;
        const char* label = nullptr;
    } values[] = {
        {Measure::Year, localYear(run.when)},
        {Measure::Et, run.etSeconds},
        {Measure::Speed, run.speed},
        {Measure::SixtyFoot, run.sixtyFootSeconds},
        {Measure::ThreeThirtyFoot, run.threeThirtyFootSeconds},
        {Measure::EighthEt, run.eighthEtSeconds},
        {Measure::EighthSpeed, run.eighthSpeed},
        {Measure::NitrousJet, run.nitrousJetInches},
        {Measure::Elevation, run.stripElevationMetres, "strip elevation"},
        {Measure::Temperature, run.air.kelvin},
        {Measure::Pressure,
         station ? std::optional(station->pascals) : std::optional(altimeter->pascals),
         station ? "station pressure" : "altimeter setting"},
        {Measure::Elevation, altimeter ? std::optional(altimeter->elevationMetres) : std::nullopt,
         "altimeter elevation"},
    };
    for (const auto& [measure, value, label] : values) {
        if (auto refused = outOfRange(measure, value, label)) return refused;
    }
    if (const auto air = raceday::evaluateAir(run.air); const auto* error = raceday::errorOf(air)) {
        return asLogError(*error);
    }
    return std::nullopt;
}

}  // namespace moravik::runlog

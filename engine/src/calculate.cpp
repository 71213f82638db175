#include "moravik/calculate.h"

#include "moravik/holley_jets.h"
#include "moravik/nitrous.h"
#include "moravik/number_reading.h"
#include "moravik/quarter_mile.h"
#include "moravik/result_format.h"
#include "moravik/tracks.h"

namespace moravik {

const std::array<std::string_view, resultFieldCount> resultFieldNames{
    "TextBox1",  "Textbox2",   "TextBox3",  "Textbox4",   "Totalhp", "TotalHPn", "Textbox5",
    "huntet",    "huntetn",    "huntalt",   "HuntaltMPH", "huntmph", "huntmphn", "foxet",
    "foxetn",    "foxalt",     "FoxAltMPH", "foxmph",     "foxmphn", "haleet",   "haleetn",
    "halealt",   "HaleAltMPH", "halemph",   "halemphn",   "lrtet",   "lrtetn",   "lrtalt",
    "lrtAltMPH", "lrtmph",     "lrtmphn",
};

std::string_view faultName(Fault fault) {
    switch (fault) {
        case Fault::DivisionByZero:
            return "division by zero";
        case Fault::Overflow:
            return "overflow";
        case Fault::InvalidArgument:
            return "invalid argument";
    }
    return "unknown fault";
}

namespace {

double readReal(std::string_view text) {
    const auto value = readNumber(text);
    if (!value) throw ArithmeticFault(Fault::Overflow);
    return *value;
}

std::int16_t readWhole(std::string_view text) {
    const auto value = toWholeNumber(readReal(text));
    if (!value) throw ArithmeticFault(Fault::Overflow);
    return *value;
}

ResultTexts runPass(const InputTexts& inputs) {
    // The inputs are read in this order, so it decides which fault is reported.
    const double nitrousJet = readReal(inputs.njt);
    const std::int16_t fuelPressure = readWhole(inputs.flp);
    const std::int16_t bottlePressure = readWhole(inputs.nbp);
    const std::int16_t nozzles = readWhole(inputs.jtn);
    const double engineHp = readReal(inputs.draghp);
    const double weight = readReal(inputs.vweight);

    const NitrousFigures nitrous =
        computeNitrous(nitrousJet, fuelPressure, bottlePressure, nozzles, engineHp);
    const QuarterMileEstimates quarterMile = computeQuarterMile(weight, engineHp, nitrous.totalHp);
    const auto altitude = adjustForAltitude(inputs.altitudeDD, quarterMile);
    const std::int16_t holleyNumber = holleyJetNumber(nitrous.standardJet);

    ResultTexts results;
    std::size_t next = 0;
    const auto write = [&](const auto value) {
        results[next] = {resultFieldNames[next], formatResult(value)};
        ++next;
    };
    write(nitrous.fuelJet);
    write(nitrous.standardJet);
    write(nitrous.nitrousHp);
    write(nitrous.nitrousHpWheels);
    write(nitrous.totalHp);
    write(nitrous.totalHpWheels);
    write(holleyNumber);
    for (std::size_t i = 0; i < formulaCount; ++i) {
        // An unset altitude value is written as zero.
        const AltitudeAdjusted adjusted = altitude ? (*altitude)[i] : AltitudeAdjusted{0, 0};
        write(quarterMile[i].et);
        write(quarterMile[i].etNitrous);
        write(adjusted.et);
        write(adjusted.mph);
        write(quarterMile[i].mph);
        write(quarterMile[i].mphNitrous);
    }
    return results;
}

}  // namespace

CalculationOutcome calculate(const InputTexts& inputs) {
    try {
        return runPass(inputs);
    } catch (const ArithmeticFault& fault) {
        return fault.fault();
    }
}

}  // namespace moravik

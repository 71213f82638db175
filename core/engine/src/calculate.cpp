#include "moravik/calculate.h"

#include "moravik/holley_jets.h"
#include "moravik/nitrous.h"
#include "moravik/number_reading.h"
#include "moravik/quarter_mile.h"
#include "moravik/result_format.h"
#include "moravik/tracks.h"

namespace moravik {

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
    const auto write = [&results](std::size_t index, const auto value) {
        results[index] = formatResult(value);
    };
    write(resultIndex(SingleResult::FuelJet), nitrous.fuelJet);
    write(resultIndex(SingleResult::StandardJet), nitrous.standardJet);
    write(resultIndex(SingleResult::NitrousHp), nitrous.nitrousHp);
    write(resultIndex(SingleResult::NitrousHpWheels), nitrous.nitrousHpWheels);
    write(resultIndex(SingleResult::TotalHp), nitrous.totalHp);
    write(resultIndex(SingleResult::TotalHpWheels), nitrous.totalHpWheels);
    write(resultIndex(SingleResult::HolleyJet), holleyNumber);
    for (const FormulaConstants& formula : formulaTable) {
        const Formula f = formula.formula;
        const auto i = static_cast<std::size_t>(f);
        // An unset altitude value is written as zero.
        const AltitudeAdjusted adjusted = altitude ? (*altitude)[i] : AltitudeAdjusted{0, 0};
        write(resultIndex(f, Column::Et), quarterMile[i].et);
        write(resultIndex(f, Column::EtNitrous), quarterMile[i].etNitrous);
        write(resultIndex(f, Column::AltitudeEt), adjusted.et);
        write(resultIndex(f, Column::AltitudeMph), adjusted.mph);
        write(resultIndex(f, Column::Mph), quarterMile[i].mph);
        write(resultIndex(f, Column::MphNitrous), quarterMile[i].mphNitrous);
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

#include "moravik/nitrous.h"

#include <cmath>

#include "checked_math.h"
#include "moravik/number_reading.h"

namespace moravik {
namespace {

// Fuel factor: 5.8 / 3.4 * 9.649.
constexpr double fuelFactorNumerator = 5.8;
constexpr double fuelFactorDenominator = 3.4;
constexpr double fuelFactorScale = 9.649;
constexpr double fuelDivisorScale = 0.9;
// Area of a circle per squared diameter, as a four-digit decimal (not pi/4).
constexpr double circleAreaFactor = 0.7854;
constexpr double millimetresPerInch = 25.4;
// Horsepower per squared millimetre of jet diameter, per nozzle.
constexpr double hpPerSquareMillimetre = 70;
constexpr double drivetrainLoss = 0.15;

// Subtracted as a share (x - x*0.15), not scaled by 0.85: the last digits differ.
double lessDrivetrainLoss(double hp) {
    return checked::subtract(hp, checked::multiply(hp, drivetrainLoss));
}

}  // namespace

double nitrousJetForHp(double nitrousHp, std::int16_t nozzles) {
    return std::sqrt(nitrousHp / hpPerSquareMillimetre / nozzles) / millimetresPerInch;
}

double roundToThousandths(double value) { return roundHalfToEven(value * 1000) / 1000; }

NitrousFigures computeNitrous(double nitrousJet, std::int16_t fuelPressure,
                              std::int16_t bottlePressure, std::int16_t nozzles, double engineHp) {
    using namespace checked;
    const double jetSquared = multiply(nitrousJet, nitrousJet);
    const double fuelFactor =
        multiply(divide(fuelFactorNumerator, fuelFactorDenominator), fuelFactorScale);
    const double pressureRatio = divide(bottlePressure, fuelPressure);
    const double pressureRoot = squareRoot(pressureRatio);
    const double fuelDivisor = multiply(divide(fuelFactor, pressureRoot), fuelDivisorScale);
    const double rawFuelJet = squareRoot(divide(jetSquared, fuelDivisor));
    const double fuelJet = roundToThousandths(rawFuelJet);

    // The area uses the rounded fuel jet, as a racer would buy it.
    const double fuelJetArea =
        multiply(multiply(multiply(fuelJet, fuelJet), circleAreaFactor), nozzles);
    const double standardJet =
        roundToThousandths(squareRoot(divide(fuelJetArea, circleAreaFactor)));

    const double jetMillimetres = multiply(nitrousJet, millimetresPerInch);
    const double nitrousHp = multiply(
        multiply(multiply(jetMillimetres, jetMillimetres), hpPerSquareMillimetre), nozzles);
    const double nitrousHpWheels = lessDrivetrainLoss(nitrousHp);
    const double totalHp = add(nitrousHp, engineHp);
    return NitrousFigures{
        .fuelJet = fuelJet,
        .standardJet = standardJet,
        .nitrousHp = nitrousHp,
        .nitrousHpWheels = nitrousHpWheels,
        .totalHp = totalHp,
        .totalHpWheels = lessDrivetrainLoss(totalHp),
    };
}

}  // namespace moravik

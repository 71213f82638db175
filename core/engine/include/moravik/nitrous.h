// Nitrous horsepower and the fuel jet to pair with a nitrous jet.
#pragma once

#include <cstdint>

namespace moravik {

struct NitrousFigures {
    double fuelJet;          // inches, for each nozzle, rounded to 0.001
    double standardJet;      // inches, one jet with the area of all fuel jets, rounded to 0.001
    double nitrousHp;        // horsepower the nitrous adds
    double nitrousHpWheels;  // the same less the drivetrain loss
    double totalHp;          // engine plus nitrous horsepower
    double totalHpWheels;    // the same less the drivetrain loss
};

// nitrousJet in inches, pressures in psi. Throws ArithmeticFault.
NitrousFigures computeNitrous(double nitrousJet, std::int16_t fuelPressure,
                              std::int16_t bottlePressure, std::int16_t nozzles, double engineHp);

// The nitrous jet in inches that adds nitrousHp through `nozzles` nozzles: the
// horsepower step of computeNitrous solved for the jet, not rounded. Both
// arguments must be above zero.
double nitrousJetForHp(double nitrousHp, std::int16_t nozzles);

// Rounds to a whole number of thousandths, ties to even.
double roundToThousandths(double value);

}  // namespace moravik

#include "moravik/raceday/error.h"

namespace moravik::raceday {

std::string labelPrefix(std::string_view label) {
    return label.empty() ? std::string() : std::string(label) + ": ";
}

std::string_view fieldName(Field field) {
    switch (field) {
        case Field::Labelled:
            return "";
        case Field::Temperature:
            return "temperature";
        case Field::StationPressure:
            return "station pressure";
        case Field::Humidity:
            return "humidity";
        case Field::DewPoint:
            return "dew point";
        case Field::Weight:
            return "weight";
        case Field::Power:
            return "power";
        case Field::Et:
            return "ET";
        case Field::Speed:
            return "speed";
        case Field::EtFactor:
            return "ET factor";
        case Field::SpeedFactor:
            return "speed factor";
        case Field::TargetPower:
            return "target power";
        case Field::FuelPressure:
            return "fuel pressure";
        case Field::BottlePressure:
            return "bottle pressure";
        case Field::Nozzles:
            return "nozzles";
        case Field::JetRange:
            return "jet range";
        case Field::Runs:
            return "runs";
    }
    return "";
}

}  // namespace moravik::raceday

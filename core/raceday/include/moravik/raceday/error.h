// The one way a race-day calculation fails: a value or an Error, never both.
#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace moravik::raceday {

// The input a calculation refused. Each front end turns it into its own option
// or widget with a switch over every field, so a new field cannot be missed.
enum class Field {
    Labelled,  // a text the caller read and named: the message names it as the caller did
    Temperature,
    StationPressure,
    Humidity,
    DewPoint,
    Weight,
    Power,
    Et,
    Speed,
    EtFactor,
    SpeedFactor,
    TargetPower,
    FuelPressure,
    BottlePressure,
    Nozzles,
    JetRange,
    Runs,
};

// The field as messages name it ("dew point"); empty for Labelled.
std::string_view fieldName(Field field);

struct Error {
    Field field;
    std::string message;  // a whole sentence that names the field and what is accepted
};

// "label: " before a sentence about a text the caller named; nothing when the
// caller puts its own label in front of the sentence.
std::string labelPrefix(std::string_view label);

template <typename T>
using Outcome = std::variant<T, Error>;

template <typename T>
const Error* errorOf(const Outcome<T>& outcome) {
    return std::get_if<Error>(&outcome);
}

}  // namespace moravik::raceday

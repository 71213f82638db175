// JSON as every front end writes it: a document built as
// nlohmann::ordered_json, so keys keep the order they were set in, written on
// one line by jsonText.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "moravik/fault.h"

namespace moravik {

using JsonDocument = nlohmann::ordered_json;

// A finite number, or null when there is none. One that is not finite is a
// failed calculation, not a null: it throws ArithmeticFault, an overflow for an
// infinity and an invalid argument for a NaN, as the Calculate pass names them.
JsonDocument jsonNumber(double value);
JsonDocument jsonNumber(const std::optional<double>& value);

// How jsonText writes a double: up to 15 significant digits as every figure
// moravik-calc works out, or the fewest digits that read back to this very
// double, for values kept as they were typed (the run log's).
enum class NumberDigits { UpToFifteen, Shortest };

// The document on one line. nlohmann's own writer gives 16 or 17 digits for
// some doubles even after rounding them to 15, and "0.0" for 0.
std::string jsonText(const JsonDocument& json,
                     NumberDigits digits = NumberDigits::UpToFifteen);

// Up to 15 significant digits, plain or with an exponent, as JSON takes it.
std::string numberText(double value);

}  // namespace moravik

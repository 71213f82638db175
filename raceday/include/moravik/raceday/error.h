// The one way a race-day calculation fails: a value or an Error, never both.
#pragma once

#include <string>
#include <variant>

namespace moravik::raceday {

struct Error {
    std::string field;    // what was wrong, as the user named it ("temperature", "--mph")
    std::string message;  // a whole sentence that names the field and what is accepted
};

template <typename T>
using Outcome = std::variant<T, Error>;

template <typename T>
const Error* errorOf(const Outcome<T>& outcome) {
    return std::get_if<Error>(&outcome);
}

}  // namespace moravik::raceday

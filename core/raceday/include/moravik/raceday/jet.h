// A nitrous jet size. Jets are drilled and sold in whole thousandths of an
// inch, so a jet is counted in them: a range FROM + i * STEP is exact, and the
// text written for a jet is what a user would type, with no binary drift.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace moravik::raceday {

struct Jet {
    static constexpr std::int64_t thousandthsPerInch = 1000;
    std::int64_t thousandths = 0;

    constexpr double inches() const {
        return static_cast<double>(thousandths) / thousandthsPerInch;
    }
    friend constexpr auto operator<=>(const Jet&, const Jet&) = default;
};

// Reads "0.045", ".1", "2." or "0.045 in": at most six whole digits and three
// decimals, optionally followed by the unit "in". Nothing for anything else.
std::optional<Jet> readJet(std::string_view text);

// Whether a jet of 0, no nitrous, may be typed.
enum class ZeroJet { Allowed, Refused };

// Why a typed jet is not read, in the same words in every front end:
// "\".0455\" is not a jet size; give inches with at most three decimals, such as .045".
std::string notAJetSentence(std::string_view typed, ZeroJet zero = ZeroJet::Allowed);

// How a jet is written. The window, the main window's njt field and
// `jet-for-hp` write a jet as it is stamped, ".045" or "1.250"; the jet chart
// writes the shortest decimal, "0.045" or "1.25", "0" for none.
enum class JetDigits { Stamped, Shortest };

std::string jetText(Jet jet, JetDigits digits = JetDigits::Stamped);

}  // namespace moravik::raceday

// The report's form follows the Federal Meteorological Handbook No. 1 (FCM-H1), chapter 12,
// and the US Air Force Manual 15-111 (2019), remark 30, for the T group: T, the sign (1 below
// 0 °C, else 0) and three digits of tenths for the temperature, then the same for the dew point,
// which may be left out. WMO No. 306 (FM 15) writes a missing dew point as // (10///).
#include "moravik/raceday/metar.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "moravik/raceday/units.h"

namespace moravik::raceday {
namespace {

// The whole degrees of the main group are the tenths rounded, so the two may differ by half a
// degree; more is a typo in one of them.
constexpr double roundingCelsius = 0.5 + 1e-9;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

int digitsValue(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// The length in bytes of the blank that starts `text`, or 0: ASCII blanks and the Unicode
// spaces a page or a chat may put between groups, in UTF-8.
std::size_t blankLength(std::string_view text) {
    constexpr std::string_view ascii = " \t\n\v\f\r";
    if (ascii.find(text.front()) != std::string_view::npos) return 1;
    static constexpr std::string_view wide[] = {
        "\u0085", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003",
        "\u2004", "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200A",
        "\u200B", "\u2028", "\u2029", "\u202F", "\u205F", "\u3000", "\uFEFF"};
    for (std::string_view blank : wide) {
        if (text.starts_with(blank)) return blank.size();
    }
    return 0;
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (const std::size_t blank = blankLength(text.substr(at))) {
            if (at > start) words.push_back(text.substr(start, at - start));
            at += blank;
            start = at;
        } else {
            ++at;
        }
    }
    if (at > start) words.push_back(text.substr(start));
    return words;
}

// DDHHMMZ: the day and the time of the observation.
bool isTimeGroup(std::string_view word) {
    return word.size() == 7 && word.back() == 'Z' && isDigits(word.substr(0, 6));
}

bool isRealTime(std::string_view group) {
    const int day = digitsValue(group.substr(0, 2));
    return day >= 1 && day <= 31 && digitsValue(group.substr(2, 2)) <= 23 &&
           digitsValue(group.substr(4, 2)) <= 59;
}

struct Temperatures {
    double celsius;
    std::optional<double> dewPointCelsius;
};

// "M05" or "12"; nothing for anything else.
std::optional<double> wholeDegrees(std::string_view text) {
    const bool minus = text.starts_with('M');
    if (minus) text.remove_prefix(1);
    if (text.size() != 2 || !isDigits(text)) return std::nullopt;
    const double degrees = digitsValue(text);
    return minus ? -degrees : degrees;
}

// Looks like a temperature group: digits, M and slashes, not starting with a slash.
bool looksLikeTemperatureGroup(std::string_view word) {
    return word.find('/') != std::string_view::npos && word.front() != '/' &&
           std::all_of(word.begin(), word.end(),
                       [](char c) { return c == '/' || c == 'M' || isDigit(c); });
}

// "0050" and "1028" as 5.0 and -2.8.
double tenths(std::string_view signAndDigits) {
    const double value = digitsValue(signAndDigits.substr(1)) / 10.0;
    return signAndDigits.front() == '1' ? -value : value;
}

std::optional<Temperatures> remarksTemperatures(std::string_view word) {
    const auto signedTenths = [](std::string_view part) {
        return part.size() == 4 && (part[0] == '0' || part[0] == '1') && isDigits(part);
    };
    if (!word.starts_with('T') || (word.size() != 5 && word.size() != 9)) return std::nullopt;
    if (!signedTenths(word.substr(1, 4))) return std::nullopt;
    if (word.size() == 5) return Temperatures{tenths(word.substr(1, 4)), std::nullopt};
    if (!signedTenths(word.substr(5, 4))) return std::nullopt;
    return Temperatures{tenths(word.substr(1, 4)), tenths(word.substr(5, 4))};
}

// A or Q with four digits.
bool isAltimeterGroup(std::string_view word) {
    return word.size() == 5 && (word[0] == 'A' || word[0] == 'Q') && isDigits(word.substr(1));
}

double altimeterPascals(std::string_view group) {
    const int digits = digitsValue(group.substr(1));
    return group[0] == 'A' ? digits / 100.0 * pascalsPerInchOfMercury : digits * 100.0;
}

// -2.8 as "-2.8", 5 as "5": a figure in a message, written from the report's own digits.
std::string celsiusText(double celsius) {
    const long tenthsOfDegree = std::lround(celsius * 10);
    const long whole = std::labs(tenthsOfDegree) / 10;
    const long tenth = std::labs(tenthsOfDegree) % 10;
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), whole).ptr;
    std::string text = (tenthsOfDegree < 0 ? "-" : "") + std::string(digits.data(), end);
    if (tenth != 0) text += std::string(".") + static_cast<char>('0' + tenth);
    return text + " °C";
}

class Reader {
public:
    Outcome<MetarReport> read(std::string_view report) {
        std::vector<std::string_view> words = wordsOf(report);
        if (words.empty()) return Error{Field::Labelled, "paste one METAR"};
        if (std::any_of(report.begin(), report.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            return fail("is in lower case; paste the report in capitals, as published");
        // The end mark closes the report in the bulletins it is copied from.
        if (words.back() == "=") {
            words.pop_back();
        } else if (words.back().ends_with('=')) {
            words.back().remove_suffix(1);
        }
        if (!words.empty() && (words[0] == "METAR" || words[0] == "SPECI"))
            words.erase(words.begin());
        if (words.size() < 2 || !isStation(words[0]) || !isTimeGroup(words[1]))
            return fail("must begin with the airfield and the time, as in KDEN 061853Z");
        if (!isRealTime(words[1]))
            return fail("has the day and time " + std::string(words[1]) +
                        ", which cannot be: DDHHMMZ gives the day 01 to 31, the hour 00 to 23 "
                        "and the minute 00 to 59");
        const auto remarks = std::find(words.begin(), words.end(), "RMK");
        for (auto word = words.begin() + 2; word != remarks; ++word) {
            if (*word == "METAR" || *word == "SPECI" || isTimeGroup(*word) ||
                word->find('=') != std::string_view::npos)
                return fail("holds more than one report; paste one");
        }

        MetarReport result;
        result.station = words[0];
        result.time = words[1];
        std::optional<Temperatures> body;
        std::string_view bodyGroup;
        std::string_view inches, hectopascals;
        for (auto word = words.begin() + 2; word != remarks; ++word) {
            if (isAltimeterGroup(*word)) {
                std::string_view& group = word->front() == 'A' ? inches : hectopascals;
                if (group.empty()) group = *word;
                continue;
            }
            if (!looksLikeTemperatureGroup(*word)) continue;
            const auto temperatures = temperatureGroup(*word);
            if (const auto* error = std::get_if<Error>(&temperatures)) return *error;
            if (body) {
                if (*word == bodyGroup) continue;
                return fail("has two different temperature groups, " + std::string(bodyGroup) +
                            " and " + std::string(*word) + "; paste one report");
            }
            body = std::get<Temperatures>(temperatures);
            bodyGroup = *word;
        }
        if (!body)
            return fail(
                "gives no temperature (an automated station may leave it out); "
                "type the weather instead");
        if (inches.empty() && hectopascals.empty())
            return fail("gives no altimeter setting, such as A3012 or Q1013");

        // A is in hundredths of an inch of mercury, finer than Q's whole hectopascals.
        result.altimeterGroup = std::string(inches.empty() ? hectopascals : inches);
        result.altimeterPascals = altimeterPascals(result.altimeterGroup);
        if (!inches.empty() && !hectopascals.empty()) {
            result.notes.push_back("Both given: " + std::string(inches) + " is used, not " +
                                   std::string(hectopascals) + " (finer unit).");
        }

        Temperatures chosen = *body;
        if (remarks != words.end()) {
            std::string_view tGroup;
            for (auto word = remarks + 1; word != words.end(); ++word) {
                const auto precise = remarksTemperatures(*word);
                if (!precise) continue;
                if (!tGroup.empty() && *word != tGroup)
                    return fail("has two different T groups in its remarks, " +
                                std::string(tGroup) + " and " + std::string(*word) +
                                "; paste one report");
                tGroup = *word;
                if (const auto refused = disagreement(*precise, tGroup, *body, bodyGroup))
                    return *refused;
                chosen.celsius = precise->celsius;
                if (precise->dewPointCelsius) chosen.dewPointCelsius = precise->dewPointCelsius;
            }
        }
        result.kelvin = celsiusZero + chosen.celsius;
        if (chosen.dewPointCelsius) result.dewPointKelvin = celsiusZero + *chosen.dewPointCelsius;
        return result;
    }

private:
    // 05/M03, 05/ or 05/// for a missing dew point.
    Outcome<Temperatures> temperatureGroup(std::string_view word) const {
        const auto slash = word.find('/');
        const std::string_view left = word.substr(0, slash);
        const std::string_view dew = word.substr(slash + 1);
        if (left == "MM")
            return fail("gives no temperature (" + std::string(word) +
                        "); type the weather instead");
        const auto celsius = wholeDegrees(left);
        const auto dewPoint = wholeDegrees(dew);
        if (!celsius || (!dew.empty() && dew != "//" && !dewPoint))
            return fail("has the temperature group \"" + std::string(word) +
                        "\", which is not two digits each, with M only before the digits "
                        "for minus, as in 05/M03");
        return Temperatures{*celsius, dewPoint};
    }

    // The remarks' tenths rounded must give the main group's whole degrees.
    std::optional<Error> disagreement(const Temperatures& precise, std::string_view tGroup,
                                      const Temperatures& body, std::string_view bodyGroup) const {
        const auto refuse = [&](const char* what, double tenths, double whole) {
            return fail("has the T group " + std::string(tGroup) + " in its remarks (" + what +
                        " " + celsiusText(tenths) + ") and the group " + std::string(bodyGroup) +
                        " (" + what + " " + celsiusText(whole) +
                        "); they may differ by half a degree at most, so one is mistyped: "
                        "correct it");
        };
        if (std::abs(precise.celsius - body.celsius) > roundingCelsius)
            return refuse("temperature", precise.celsius, body.celsius);
        if (precise.dewPointCelsius && body.dewPointCelsius &&
            std::abs(*precise.dewPointCelsius - *body.dewPointCelsius) > roundingCelsius)
            return refuse("dew point", *precise.dewPointCelsius, *body.dewPointCelsius);
        return std::nullopt;
    }

    static bool isStation(std::string_view word) {
        return word.size() == 4 && word[0] >= 'A' && word[0] <= 'Z' &&
               std::all_of(word.begin(), word.end(),
                           [](char c) { return (c >= 'A' && c <= 'Z') || isDigit(c); });
    }

    Error fail(const std::string& what) const { return {Field::Labelled, "the METAR " + what}; }
};

}  // namespace

Outcome<MetarReport> readMetar(std::string_view report) { return Reader().read(report); }

Outcome<Weather> weatherFromMetar(const MetarReport& report, double elevationMetres,
                                  const Moisture& typed) {
    const bool given = !std::holds_alternative<std::monostate>(typed);
    Weather weather{report.kelvin, AltimeterSetting{report.altimeterPascals, elevationMetres},
                    typed};
    if (report.dewPointKelvin) {
        if (given)
            return Error{Field::Labelled,
                         "the METAR gives the dew point; leave out the humidity or dew point"};
        weather.moisture = DewPoint{*report.dewPointKelvin};
    } else if (!given) {
        return Error{Field::Labelled,
                     "the METAR gives no dew point; give the humidity or dew point beside it"};
    }
    return weather;
}

}  // namespace moravik::raceday

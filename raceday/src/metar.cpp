// The report's form follows the Federal Meteorological Handbook No. 1 (FCM-H1), chapter 12,
// and the US Air Force Manual 15-111 (2019), remark 30, for the T group: T, the sign (1 below
// 0 °C, else 0) and three digits of tenths for the temperature, then the same for the dew point,
// which may be left out.
#include "moravik/raceday/metar.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "moravik/raceday/units.h"

namespace moravik::raceday {
namespace {

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int digitsValue(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// DDHHMMZ: the day and the time of the observation.
bool isTimeGroup(std::string_view word) {
    return word.size() == 7 && word.back() == 'Z' && isDigits(word.substr(0, 6));
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    constexpr std::string_view blanks = " \t\r\n";
    while (true) {
        const auto start = text.find_first_not_of(blanks);
        if (start == std::string_view::npos) return words;
        text.remove_prefix(start);
        const auto end = std::min(text.find_first_of(blanks), text.size());
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
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

// Looks like a temperature group: digits and M around one slash, nothing else.
bool looksLikeTemperatureGroup(std::string_view word) {
    return std::count(word.begin(), word.end(), '/') == 1 && word.front() != '/' &&
           std::all_of(word.begin(), word.end(), [](char c) {
               return c == '/' || c == 'M' || isDigits({&c, 1});
           });
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

std::optional<double> altimeterPascals(std::string_view word) {
    if (word.size() != 5 || !isDigits(word.substr(1))) return std::nullopt;
    if (word[0] == 'A') return digitsValue(word.substr(1)) / 100.0 * pascalsPerInchOfMercury;
    if (word[0] == 'Q') return digitsValue(word.substr(1)) * 100.0;
    return std::nullopt;
}

class Reader {
public:
    explicit Reader(std::string_view field) : field_(field) {}

    Outcome<Weather> read(std::string_view report, double elevationMetres) {
        if (const auto refused = refuseShape(report)) return *refused;
        std::vector<std::string_view> words = wordsOf(report);
        if (!words.empty() && (words[0] == "METAR" || words[0] == "SPECI"))
            words.erase(words.begin());
        if (words.size() < 2 || !isStation(words[0]) || !isTimeGroup(words[1]))
            return fail("must begin with the airfield and the time, as in KDEN 061853Z");
        const auto remarks = std::find(words.begin(), words.end(), "RMK");
        for (auto word = words.begin() + 2; word != remarks; ++word) {
            if (*word == "METAR" || *word == "SPECI" || isTimeGroup(*word))
                return fail("holds more than one report; paste one");
        }

        std::optional<Temperatures> body;
        std::optional<double> pascals;
        for (auto word = words.begin() + 2; word != remarks; ++word) {
            if (!pascals) pascals = altimeterPascals(*word);
            if (body || !looksLikeTemperatureGroup(*word)) continue;
            const auto slash = word->find('/');
            const auto celsius = wholeDegrees(word->substr(0, slash));
            const std::string_view dew = word->substr(slash + 1);
            const auto dewPoint = wholeDegrees(dew);
            if (!celsius || (!dew.empty() && !dewPoint))
                return fail("has the temperature group \"" + std::string(*word) +
                            "\", which is not two digits each, with M only before the digits "
                            "for minus, as in 05/M03");
            body = Temperatures{*celsius, dewPoint};
        }
        if (!body)
            return fail(
                "gives no temperature (an automated station may leave it out); "
                "type the weather instead");
        if (!pascals) return fail("gives no altimeter setting, such as A3012 or Q1013");

        Temperatures chosen = *body;
        if (remarks != words.end()) {
            for (auto word = remarks + 1; word != words.end(); ++word) {
                if (const auto precise = remarksTemperatures(*word)) chosen = *precise;
            }
        }
        if (!chosen.dewPointCelsius)
            return fail("gives no dew point; type the humidity or the dew point instead");
        return Weather{celsiusZero + chosen.celsius, AltimeterSetting{*pascals, elevationMetres},
                       DewPoint{celsiusZero + *chosen.dewPointCelsius}};
    }

private:
    std::optional<Error> refuseShape(std::string_view report) const {
        if (wordsOf(report).empty()) return Error{Field::Labelled, field_ + ": paste one METAR"};
        if (std::any_of(report.begin(), report.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            return fail("is in lower case; paste the report in capitals, as published");
        const auto last = report.find_last_not_of(" \t\r\n");
        if (report[last] == '=')
            return fail("ends in the end mark '='; paste the report without it");
        return std::nullopt;
    }

    static bool isStation(std::string_view word) {
        return word.size() == 4 && word[0] >= 'A' && word[0] <= 'Z' &&
               std::all_of(word.begin(), word.end(),
                           [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
    }

    Error fail(const std::string& what) const {
        return {Field::Labelled, field_ + ": the METAR " + what};
    }

    std::string field_;
};

}  // namespace

Outcome<Weather> weatherFromMetar(std::string_view report, double elevationMetres,
                                  std::string_view field) {
    return Reader(field).read(report, elevationMetres);
}

}  // namespace moravik::raceday

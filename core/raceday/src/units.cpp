#include "moravik/raceday/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "moravik/double_chars.h"
#include "moravik/whole_text.h"

namespace moravik::raceday {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isAsciiSymbol(std::string_view symbol) {
    return std::all_of(symbol.begin(), symbol.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

Error quantityError(std::string_view text, Quantity quantity, const Unit& bareUnit,
                    std::string_view field) {
    const QuantityInfo& info = quantityInfo(quantity);
    const bool vowel = std::string_view("aeiou").find(info.name.front()) != std::string_view::npos;
    return Error{Field::Labelled,
                 labelPrefix(field) + echoedText(text) + (vowel ? " is not an " : " is not a ") +
                     std::string(info.name) + "; give a number with one of the units " +
                     acceptedUnits(quantity) + " (a bare number is in " +
                     std::string(bareUnit.symbol) + ")"};
}

constexpr bool inTable(std::string_view symbol, Dimension dimension) {
    for (const Unit& unit : units) {
        if (unit.dimension == dimension && unit.symbol == symbol) return true;
    }
    return false;
}

// Every quantity's own units are in the table, so displayUnit always finds its unit.
static_assert([] {
    for (const QuantityInfo& info : quantities) {
        if (!inTable(info.imperialUnit, info.dimension) ||
            !inTable(info.metricUnit, info.dimension))
            return false;
    }
    return true;
}());

}  // namespace

const Unit* findUnit(std::string_view symbol, Dimension dimension) {
    const auto unit = std::find_if(units.begin(), units.end(), [&](const Unit& u) {
        return u.dimension == dimension && equalIgnoringCase(u.symbol, symbol);
    });
    return unit == units.end() ? nullptr : &*unit;
}

const Unit& displayUnit(Quantity quantity, UnitSystem system) {
    const QuantityInfo& info = quantityInfo(quantity);
    return *findUnit(system == UnitSystem::Imperial ? info.imperialUnit : info.metricUnit,
                     info.dimension);
}

std::vector<const Unit*> unitChoices(Quantity quantity) {
    std::vector<const Unit*> choices;
    for (const Unit& unit : units) {
        if (unit.dimension == quantityInfo(quantity).dimension && isAsciiSymbol(unit.symbol)) {
            choices.push_back(&unit);
        }
    }
    return choices;
}

std::string acceptedUnits(Quantity quantity) {
    std::string list;
    for (const Unit* unit : unitChoices(quantity)) {
        if (!list.empty()) list += ", ";
        list += unit->symbol;
    }
    return list;
}

std::optional<NumberAndSymbol> splitQuantity(std::string_view text) {
    std::string_view rest = trimmed(text);
    if (!rest.empty() && rest.front() == '+') rest.remove_prefix(1);
    double value = 0;
    const auto [end, error] = fromChars(rest.data(), rest.data() + rest.size(), value);
    // from_chars also reads "nan" and "inf", which are no measurements.
    if (error != std::errc{} || !std::isfinite(value)) return std::nullopt;
    return NumberAndSymbol{value,
                           trimmed(rest.substr(static_cast<std::size_t>(end - rest.data())))};
}

Outcome<double> parseQuantity(std::string_view text, Quantity quantity, UnitSystem system,
                              std::string_view field) {
    return parseQuantityIn(text, quantity, displayUnit(quantity, system), field);
}

Outcome<double> parseQuantityIn(std::string_view text, Quantity quantity, const Unit& bareUnit,
                                std::string_view field) {
    const auto parts = splitQuantity(text);
    if (!parts) return quantityError(text, quantity, bareUnit, field);
    const Unit* unit = parts->symbol.empty()
                           ? &bareUnit
                           : findUnit(parts->symbol, quantityInfo(quantity).dimension);
    if (unit == nullptr) return quantityError(text, quantity, bareUnit, field);
    return toSi(parts->number, *unit);
}

Outcome<UnitSystem> parseUnitSystem(std::string_view text, std::string_view field) {
    if (text == "imperial") return UnitSystem::Imperial;
    if (text == "metric") return UnitSystem::Metric;
    return Error{Field::Labelled, labelPrefix(field) + echoedText(text) +
                                      " is not a unit system; give imperial or metric"};
}

Outcome<std::int64_t> readWholeNumber(std::string_view text, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc{} && end == text.data() + text.size() && value >= low && value <= high)
        return value;
    const std::string range = high == std::numeric_limits<std::int64_t>::max()
                                  ? "of " + wholeText(low) + " or more"
                                  : "from " + wholeText(low) + " to " + wholeText(high);
    return Error{Field::Labelled, echoedText(text) + " is not a whole number " + range};
}

std::string echoedText(std::string_view text) {
    constexpr std::size_t longest = 40;
    if (text.size() <= longest) return "\"" + std::string(text) + "\"";
    std::size_t cut = longest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return "\"" + std::string(text.substr(0, cut)) + "...\"";
}

std::string fixedText(double value, int decimals) {
    // Room for the largest double in fixed notation.
    std::array<char, 400> digits{};
    const auto end =
        toCharsFixed(digits.data(), digits.data() + digits.size(), value, decimals).ptr;
    std::string text(digits.data(), end);
    // What rounds to zero has no sign: -0.3 ft of density altitude is "0", not "-0".
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string shownSymbol(const Unit& unit) {
    const bool degrees = unit.dimension == Dimension::Temperature && unit.symbol != "K";
    return (degrees ? "°" : "") + std::string(unit.symbol);
}

std::string displayText(double si, Quantity quantity, UnitSystem system, UnitTexts texts) {
    const Unit& unit = displayUnit(quantity, system);
    return fixedText(fromSi(si, unit), quantityInfo(quantity).decimals) + " " +
           (texts == UnitTexts::Ascii ? std::string(unit.symbol) : shownSymbol(unit));
}

}  // namespace moravik::raceday

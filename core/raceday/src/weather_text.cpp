#include "moravik/raceday/weather_text.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace moravik::raceday {
namespace {

enum class Item { Temperature, Barometer, Altimeter, Elevation, Humidity, DewPoint };

struct ItemSyntax {
    Item item;
    std::string_view keyword;
    Quantity quantity;
    bool keywordOptional;  // the unit alone tells this item
};

constexpr std::array<ItemSyntax, 6> items{{
    {Item::Temperature, "temp", Quantity::Temperature, true},
    {Item::Barometer, "baro", Quantity::Barometer, true},
    {Item::Altimeter, "alt", Quantity::Barometer, false},
    {Item::Elevation, "elev", Quantity::Elevation, true},
    {Item::Humidity, "rh", Quantity::Humidity, true},
    {Item::DewPoint, "dew", Quantity::Temperature, false},
}};

const ItemSyntax& syntaxOf(Item item) { return items[static_cast<std::size_t>(item)]; }

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> found;
    while (true) {
        const auto start = text.find_first_not_of(" \t");
        if (start == std::string_view::npos) return found;
        text.remove_prefix(start);
        const auto end = std::min(text.find_first_of(" \t"), text.size());
        found.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
}

// The item whose unit the word carries, for a word without a keyword.
std::optional<Item> itemByUnit(std::string_view word) {
    const auto parts = splitQuantity(word);
    if (!parts || parts->symbol.empty()) return std::nullopt;
    for (const ItemSyntax& syntax : items) {
        const Dimension dimension = quantityInfo(syntax.quantity).dimension;
        if (syntax.keywordOptional && findUnit(parts->symbol, dimension) != nullptr) {
            return syntax.item;
        }
    }
    return std::nullopt;
}

class WeatherReader {
public:
    explicit WeatherReader(UnitSystem system) : system_(system) {}

    std::optional<Error> read(std::string_view text) {
        const auto all = words(text);
        for (std::size_t i = 0; i < all.size(); ++i) {
            const auto keyword =
                std::find_if(items.begin(), items.end(),
                             [&](const ItemSyntax& syntax) { return syntax.keyword == all[i]; });
            std::optional<Item> item;
            if (keyword != items.end()) {
                if (++i == all.size()) return fail(echoedText(all[i - 1]) + " needs a value");
                item = keyword->item;
            } else {
                item = itemByUnit(all[i]);
            }
            if (!item) {
                return fail(echoedText(all[i]) +
                            " is neither a keyword with its value nor a value with its unit");
            }
            if (auto error = store(*item, all[i])) return error;
        }
        return check();
    }

    Weather weather() const {
        Weather weather;
        weather.kelvin = *values_[index(Item::Temperature)];
        if (const auto& altimeter = values_[index(Item::Altimeter)]) {
            weather.pressure = AltimeterSetting{*altimeter, *values_[index(Item::Elevation)]};
        } else {
            weather.pressure = StationPressure{*values_[index(Item::Barometer)]};
        }
        if (const auto& humidity = values_[index(Item::Humidity)]) {
            weather.moisture = RelativeHumidity{*humidity};
        } else if (const auto& dewPoint = values_[index(Item::DewPoint)]) {
            weather.moisture = DewPoint{*dewPoint};
        }
        return weather;
    }

private:
    static std::size_t index(Item item) { return static_cast<std::size_t>(item); }
    bool has(Item item) const { return values_[index(item)].has_value(); }

    Error fail(const std::string& problem) const { return Error{Field::Labelled, problem}; }

    std::optional<Error> store(Item item, std::string_view word) {
        const ItemSyntax& syntax = syntaxOf(item);
        if (has(item)) return fail("\"" + std::string(syntax.keyword) + "\" is given twice");
        const auto value = parseQuantity(word, syntax.quantity, system_, "");
        if (const Error* error = errorOf(value))
            return fail(std::string(syntax.keyword) + " " + error->message);
        values_[index(item)] = std::get<double>(value);
        return std::nullopt;
    }

    std::optional<Error> check() const {
        if (!has(Item::Temperature)) return fail("the temperature is missing");
        if (has(Item::Barometer) == has(Item::Altimeter)) {
            return fail("give either a station pressure or \"alt\" with an altimeter setting");
        }
        if (has(Item::Altimeter) != has(Item::Elevation)) {
            return fail("\"alt\" and \"elev\" go together");
        }
        if (has(Item::Humidity) && has(Item::DewPoint)) {
            return fail("give either a humidity or a dew point, not both");
        }
        return std::nullopt;
    }

    UnitSystem system_;
    std::array<std::optional<double>, items.size()> values_{};
};

}  // namespace

const std::string_view weatherGrammar =
    "WEATHER is one argument of items separated by blanks, for example\n"
    "\"86F 29.10inHg 40%\" or \"30C alt 1013hPa elev 1768m dew 12C\":\n"
    "  [temp] T   air temperature (required)\n"
    "  [baro] P   station pressure, or\n"
    "  alt A      altimeter setting, with\n"
    "  [elev] E   the elevation of the strip\n"
    "  [rh] H     relative humidity, or\n"
    "  dew T      dew point\n"
    "A keyword in brackets may be left out when the value has its unit; a bare\n"
    "number needs its keyword and is read in the --units system.\n";

Outcome<Weather> parseWeather(std::string_view text, UnitSystem system) {
    WeatherReader reader(system);
    if (auto error = reader.read(text)) return *error;
    return reader.weather();
}

}  // namespace moravik::raceday

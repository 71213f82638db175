// Feeds arbitrary text to the race-day unit and weather parsers and checks that
// accepted air gives finite figures and every refused text a message that names
// the field.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "moravik/raceday/weather_text.h"

namespace {

using namespace moravik::raceday;

constexpr std::string_view field = "--fuzz";

void requireNamedField(const Error& error) {
    if (error.message.rfind(field, 0) != 0) std::abort();
}

void checkQuantities(std::string_view text, UnitSystem system) {
    for (std::size_t i = 0; i < quantities.size(); ++i) {
        const auto outcome = parseQuantity(text, static_cast<Quantity>(i), system, field);
        if (const Error* error = errorOf(outcome)) {
            requireNamedField(*error);
        } else if (std::isnan(std::get<double>(outcome))) {
            std::abort();  // a huge number times a scale may overflow, but never to NaN
        }
    }
}

void checkWeather(std::string_view text, UnitSystem system) {
    const auto weather = parseWeather(text, system);
    if (const Error* error = errorOf(weather)) {
        if (error->message.empty()) std::abort();
        return;
    }
    const auto air = evaluateAir(std::get<Weather>(weather));
    if (const auto* accepted = std::get_if<Air>(&air)) {
        if (!std::isfinite(accepted->densityKgPerM3) ||
            !std::isfinite(accepted->densityAltitudeMetres) ||
            !std::isfinite(accepted->nwsDensityAltitudeFeet)) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const UnitSystem system : {UnitSystem::Imperial, UnitSystem::Metric}) {
        checkQuantities(text, system);
        checkWeather(text, system);
    }
    return 0;
}

#include "moravik/raceday/jet.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "moravik/raceday/units.h"
#include "moravik/whole_text.h"

namespace moravik::raceday {
namespace {

constexpr std::size_t maxWholeDigits = 6;
constexpr std::size_t maxDecimals = 3;

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int64_t digitsOrZero(std::string_view digits) {
    std::int64_t value = 0;
    if (!digits.empty()) std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

std::string_view withoutInches(std::string_view text) {
    if (text.ends_with("in")) text.remove_suffix(2);
    while (text.ends_with(' ')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<Jet> readJet(std::string_view text) {
    text = withoutInches(text);
    const auto point = text.find('.');
    const auto whole = text.substr(0, point);
    const auto fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (!allDigits(whole) || !allDigits(fraction)) return std::nullopt;
    if (whole.size() > maxWholeDigits || fraction.size() > maxDecimals) return std::nullopt;
    std::int64_t scale = Jet::thousandthsPerInch;
    for (std::size_t i = 0; i < fraction.size(); ++i) scale /= 10;
    return Jet{digitsOrZero(whole) * Jet::thousandthsPerInch + digitsOrZero(fraction) * scale};
}

std::string notAJetSentence(std::string_view typed, ZeroJet zero) {
    return echoedText(typed) + " is not a jet size; give inches " +
           (zero == ZeroJet::Refused ? "above 0 " : "") +
           "with at most three decimals, such as .045";
}

std::string jetText(Jet jet, JetDigits digits) {
    const std::int64_t whole = jet.thousandths / Jet::thousandthsPerInch;
    std::string decimals =
        wholeText(jet.thousandths % Jet::thousandthsPerInch + Jet::thousandthsPerInch).substr(1);
    if (digits == JetDigits::Stamped)
        return (whole == 0 ? std::string() : wholeText(whole)) + "." + decimals;
    decimals.erase(decimals.find_last_not_of('0') + 1);
    return decimals.empty() ? wholeText(whole) : wholeText(whole) + "." + decimals;
}

}  // namespace moravik::raceday

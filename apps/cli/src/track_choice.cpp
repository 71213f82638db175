#include "track_choice.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "moravik/answers/shown_text.h"
#include "moravik/tracks.h"
#include "text_matching.h"

namespace moravik::cli {
namespace {

constexpr std::size_t maxNearMatches = 5;

bool isStrip(std::string_view entry) { return altitudeFactorsFor(entry).has_value(); }

std::optional<TrackEntry> entryByNumber(std::string_view text) {
    std::size_t number = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
    if (number < 1 || number > trackEntryCount) return std::nullopt;
    return TrackEntry{number, trackEntries()[number - 1]};
}

// The strips whose names pass `matches`, each text once, in list order.
template <typename Predicate>
std::vector<TrackEntry> stripsWhere(Predicate matches) {
    std::vector<TrackEntry> found;
    const auto entries = trackEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!isStrip(entries[i]) || !matches(looseName(entries[i]))) continue;
        const auto same = [&](const TrackEntry& entry) { return entry.text == entries[i]; };
        if (std::find_if(found.begin(), found.end(), same) == found.end())
            found.push_back({i + 1, entries[i]});
    }
    return found;
}

// Whether `typed` is a mistyped start of `name`, give or take two characters.
bool nearlyStarts(std::string_view typed, std::string_view name) {
    const std::size_t shortest = typed.size() > 2 ? typed.size() - 2 : 1;
    for (std::size_t length = shortest; length <= typed.size() + 2; ++length)
        if (isNearMatch(typed, name.substr(0, length))) return true;
    return false;
}

std::string entryList(const std::vector<TrackEntry>& entries) {
    std::string list;
    for (std::size_t i = 0; i < entries.size() && i < maxNearMatches; ++i)
        list.append(i == 0 ? "" : ", ").append(quotedText(entries[i].text));
    if (entries.size() > maxNearMatches) list.append(", ...");
    return list;
}

}  // namespace

std::variant<TrackEntry, std::string> chooseTrack(std::string_view text) {
    if (text.empty()) return TrackEntry{0, {}};
    const auto entries = trackEntries();
    if (const auto exact = std::find(entries.begin(), entries.end(), text); exact != entries.end())
        return TrackEntry{static_cast<std::size_t>(exact - entries.begin()) + 1, *exact};
    if (const auto numbered = entryByNumber(text)) return *numbered;

    const auto typed = looseName(text);
    // Any entry, heading or strip, typed with other blanks or capitals.
    const auto sameLoose = [&](std::string_view entry) { return looseName(entry) == typed; };
    if (const auto loose = std::find_if(entries.begin(), entries.end(), sameLoose);
        loose != entries.end())
        return TrackEntry{static_cast<std::size_t>(loose - entries.begin()) + 1, *loose};
    const auto named = stripsWhere([&](std::string_view name) { return name.starts_with(typed); });
    if (named.size() == 1) return named.front();
    const std::string listHint = "; see moravik-calc --tracks --numbered";
    if (!typed.empty() && named.size() > 1)
        return quotedText(text) + " names several strips: " + entryList(named) + listHint;
    std::string problem = quotedText(text) + " is no track entry, entry number or strip name";
    const auto near = stripsWhere([&](std::string_view name) { return nearlyStarts(typed, name); });
    if (!typed.empty() && !near.empty()) problem.append("; near matches: ").append(entryList(near));
    return problem + listHint;
}

}  // namespace moravik::cli

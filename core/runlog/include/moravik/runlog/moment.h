// A run's moment: milliseconds since 1970 UTC, as the log keeps it, and its
// text as CSV and JSON write it, ISO 8601 in the local time zone of the
// machine. Plain C++: the calendar is its own, and only the local time zone's
// offset comes from outside, so it also runs where no Qt is and where time_t
// has 32 bits.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace moravik::runlog {

using Moment = std::chrono::time_point<std::chrono::system_clock, std::chrono::milliseconds>;

constexpr Moment momentOfMilliseconds(std::int64_t milliseconds) {
    return Moment(std::chrono::milliseconds(milliseconds));
}
constexpr std::int64_t millisecondsOf(Moment moment) { return moment.time_since_epoch().count(); }

// "2024-06-01T14:30:00+02:00" with the local offset of that moment ("Z" where
// it is 0); milliseconds only when there are some: "…T14:30:00.250+02:00".
std::string dateTimeText(Moment when);

// ISO 8601 as dateTimeText writes it, and also without seconds or time
// ("2024-06-01", midnight), with a blank for the T, a fraction of any length,
// and offsets "Z", "+02", "+0200" or "+02:00"; without an offset the local
// time. Nothing for any other text or an impossible date.
std::optional<Moment> readDateTime(std::string_view text);

// The local time zone's offset from UTC, in seconds, at a moment given in
// milliseconds since 1970 UTC. The C library's by default; the web module
// gives the browser's, since its C library's time_t ends in 2038.
using UtcOffsetSource = long (*)(std::int64_t utcMilliseconds);
void setUtcOffsetSource(UtcOffsetSource source);

// The local calendar's year, and "2024-06-01 14:30" as a table shows a run.
int localYear(Moment when);
std::string localMinuteText(Moment when);

}  // namespace moravik::runlog

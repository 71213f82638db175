#include "moravik/runlog/moment.h"

#include <algorithm>
#include <charconv>
#include <ctime>

namespace moravik::runlog {
namespace {

using Milliseconds = std::int64_t;
constexpr Milliseconds msPerSecond = 1000;
constexpr Milliseconds msPerDay = 86400 * msPerSecond;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back (H. Hinnant, "chrono-Compatible Low-Level Date Algorithms").
constexpr std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct Civil {
    std::int64_t year;
    int month, day;
};

constexpr Civil civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

static_assert(daysFromCivil(2000, 3, 1) == 11017);
static_assert(civilFromDays(11017).year == 2000 && civilFromDays(11017).day == 1);

constexpr Milliseconds floorDiv(Milliseconds a, Milliseconds b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

long libraryOffsetSeconds(Milliseconds ms) {
    const std::time_t seconds = static_cast<std::time_t>(floorDiv(ms, msPerSecond));
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr) return 0;
    return local.tm_gmtoff;
}

UtcOffsetSource offsetSource = &libraryOffsetSeconds;

long localOffsetSeconds(Milliseconds ms) { return offsetSource(ms); }

struct Fields {
    Civil date;
    int hour, minute, second, millisecond;
};

Fields fieldsOf(Milliseconds ms) {
    const Milliseconds days = floorDiv(ms, msPerDay);
    const Milliseconds inDay = ms - days * msPerDay;
    return {civilFromDays(days), static_cast<int>(inDay / 3600000),
            static_cast<int>(inDay / 60000 % 60), static_cast<int>(inDay / 1000 % 60),
            static_cast<int>(inDay % 1000)};
}

void appendPadded(std::string& text, std::int64_t value, int width) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value < 0 ? -value : value).ptr;
    if (value < 0) text += '-';
    for (auto length = end - digits; length < width; ++length) text += '0';
    text.append(digits, end);
}

std::string dateAndMinute(const Fields& f, char separator) {
    std::string text;
    appendPadded(text, f.date.year, 4);
    text += '-';
    appendPadded(text, f.date.month, 2);
    text += '-';
    appendPadded(text, f.date.day, 2);
    text += separator;
    appendPadded(text, f.hour, 2);
    text += ':';
    appendPadded(text, f.minute, 2);
    return text;
}

// Reads exactly `width` digits at `at`.
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t width) {
    if (at + width > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

constexpr bool isLeap(std::int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(std::int64_t year, int month) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// "Z", "+HH", "+HHMM" or "+HH:MM": the offset in seconds.
std::optional<long> readOffset(std::string_view text) {
    if (text == "Z") return 0;
    if (text.empty() || (text[0] != '+' && text[0] != '-')) return std::nullopt;
    const auto hours = digitsAt(text, 1, 2);
    std::optional<int> minutes = 0;
    if (text.size() == 5) {
        minutes = digitsAt(text, 3, 2);
    } else if (text.size() == 6 && text[3] == ':') {
        minutes = digitsAt(text, 4, 2);
    } else if (text.size() != 3) {
        return std::nullopt;
    }
    if (!hours || !minutes || *hours > 23 || *minutes > 59) return std::nullopt;
    const long seconds = *hours * 3600L + *minutes * 60L;
    return text[0] == '-' ? -seconds : seconds;
}

// The UTC moment of a local time, as mktime reads it, without time_t: in a
// gap the offset before the clocks changed, of a time shown twice the first.
Milliseconds fromLocal(Milliseconds wall) {
    const long before = localOffsetSeconds(wall - msPerDay);
    const long after = localOffsetSeconds(wall + msPerDay);
    const Milliseconds early = wall - before * msPerSecond;
    const Milliseconds late = wall - after * msPerSecond;
    const bool earlyHolds = localOffsetSeconds(early) == before;
    const bool lateHolds = localOffsetSeconds(late) == after;
    if (earlyHolds && lateHolds) return std::min(early, late);
    return lateHolds ? late : early;
}

}  // namespace

void setUtcOffsetSource(UtcOffsetSource source) { offsetSource = source; }

std::string dateTimeText(Moment when) {
    const Milliseconds utc = millisecondsOf(when);
    const long offset = localOffsetSeconds(utc);
    const Fields f = fieldsOf(utc + offset * msPerSecond);
    std::string text = dateAndMinute(f, 'T');
    text += ':';
    appendPadded(text, f.second, 2);
    if (f.millisecond != 0) {
        text += '.';
        appendPadded(text, f.millisecond, 3);
    }
    if (offset == 0) return text + 'Z';
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    text += offset < 0 ? '-' : '+';
    appendPadded(text, minutes / 60, 2);
    text += ':';
    appendPadded(text, minutes % 60, 2);
    return text;
}

std::optional<Moment> readDateTime(std::string_view text) {
    const auto year = digitsAt(text, 0, 4);
    const auto month = digitsAt(text, 5, 2);
    const auto day = digitsAt(text, 8, 2);
    if (!year || !month || !day || text.size() < 10 || text[4] != '-' || text[7] != '-' ||
        *month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month)) {
        return std::nullopt;
    }
    const Civil date{*year, *month, *day};
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    std::size_t at = 10;
    if (text.size() > at) {
        if (text[at] != 'T' && text[at] != ' ') return std::nullopt;
        const auto h = digitsAt(text, at + 1, 2);
        const auto m = digitsAt(text, at + 4, 2);
        if (!h || !m || text[at + 3] != ':' || *h > 23 || *m > 59) return std::nullopt;
        hour = *h;
        minute = *m;
        at += 6;
        if (at < text.size() && text[at] == ':') {
            const auto s = digitsAt(text, at + 1, 2);
            if (!s || *s > 59) return std::nullopt;
            second = *s;
            at += 3;
            if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
                std::size_t end = ++at;
                while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
                if (end == at) return std::nullopt;
                // Rounded to the millisecond, as at most 999.
                double fraction = 0, scale = 0.1;
                for (std::size_t i = at; i < end && i < at + 9; ++i, scale /= 10) {
                    fraction += (text[i] - '0') * scale;
                }
                millisecond = static_cast<int>(fraction * 1000 + 0.5);
                if (millisecond > 999) millisecond = 999;
                at = end;
            }
        }
    }
    const Milliseconds wall = daysFromCivil(date.year, date.month, date.day) * msPerDay +
                              ((hour * 60 + minute) * 60 + second) * msPerSecond + millisecond;
    const std::string_view zone = text.substr(at);
    if (zone.empty()) return momentOfMilliseconds(fromLocal(wall));
    const auto offset = readOffset(zone);
    if (!offset) return std::nullopt;
    return momentOfMilliseconds(wall - *offset * msPerSecond);
}

int localYear(Moment when) {
    const Milliseconds utc = millisecondsOf(when);
    return static_cast<int>(fieldsOf(utc + localOffsetSeconds(utc) * msPerSecond).date.year);
}

std::string localMinuteText(Moment when) {
    const Milliseconds utc = millisecondsOf(when);
    return dateAndMinute(fieldsOf(utc + localOffsetSeconds(utc) * msPerSecond), ' ');
}

}  // namespace moravik::runlog

// Texts between the race-day library and Qt: UTF-8 in, QString out, numbers
// written the same in every locale.
#pragma once

#include <QString>
#include <string_view>

namespace moravik::raceday_window {

// What the outputs show while they have no value.
inline const QString noValue = QStringLiteral("–");

QString toQString(std::string_view text);

// Decimals the sections show: an ET to the thousandth, and thousandths of a
// second (a margin) to one place.
constexpr int etDecimals = 3;
constexpr int thousandthsDecimals = 1;

// A plain number with the given decimals, locale-independent.
QString fixedText(double value, int decimals);

}  // namespace moravik::raceday_window

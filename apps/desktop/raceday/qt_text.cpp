#include "qt_text.h"

#include "moravik/raceday/units.h"

namespace moravik::raceday_window {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString fixedText(double value, int decimals) {
    return toQString(raceday::fixedText(value, decimals));
}

}  // namespace moravik::raceday_window

#include "color_table.h"

#include <algorithm>

#include "moravik/rtf/parser.h"

namespace moravik::rtf::detail {

void ColorTable::setComponent(ColorComponent component, int value) {
    const auto clamped = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    switch (component) {
        case ColorComponent::Red:
            pending_.red = clamped;
            break;
        case ColorComponent::Green:
            pending_.green = clamped;
            break;
        case ColorComponent::Blue:
            pending_.blue = clamped;
            break;
    }
    pendingSet_ = true;
}

bool ColorTable::endEntry() {
    const bool kept = colors_.size() < kMaxTableEntries;
    if (kept) colors_.push_back(pendingSet_ ? std::optional<Rgb>(pending_) : std::nullopt);
    pending_ = Rgb{};
    pendingSet_ = false;
    return kept;
}

std::optional<Rgb> ColorTable::find(int index) const {
    if (index <= 0 || static_cast<std::size_t>(index) >= colors_.size()) return std::nullopt;
    return colors_[static_cast<std::size_t>(index)];
}

}  // namespace moravik::rtf::detail

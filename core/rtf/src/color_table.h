#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "moravik/rtf/document.h"

namespace moravik::rtf::detail {

enum class ColorComponent { Red, Green, Blue };

// The \colortbl group: components set the entry being read, and ';' ends it. An entry without
// components is the default colour. At most kMaxTableEntries entries are kept.
class ColorTable {
public:
    void setComponent(ColorComponent component, int value);
    // Returns false when the entry was dropped because the table is full.
    bool endEntry();

    // The colour of an index, or nothing for the default colour and indexes out of range.
    std::optional<Rgb> find(int index) const;

private:
    std::vector<std::optional<Rgb>> colors_;
    Rgb pending_;
    bool pendingSet_ = false;
};

}  // namespace moravik::rtf::detail

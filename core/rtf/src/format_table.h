#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "color_table.h"
#include "font_table.h"
#include "moravik/rtf/document.h"

namespace moravik::rtf::detail {

// The character formatting that a group carries, before fonts and colours are looked up.
struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool hidden = false;
    VerticalAlignment verticalAlignment = VerticalAlignment::Baseline;
    Capitalization capitalization = Capitalization::AsWritten;
    int halfPoints = kDefaultHalfPoints;
    std::optional<int> font;  // empty: the document's default font (\deff)
    int color = 0;            // index into the colour table; 0 is the default colour
    int highlight = 0;
    int link = -1;  // index into Document::links; not reset by \plain, as the field sets it
    auto operator<=>(const CharProps&) const = default;
};

// Interns formats: each distinct format that the text shows is kept once, however many runs
// use it. Props that look the same share one format: a font or colour that is not in its
// table, and a symbol font, whose characters are mapped to Unicode, all mean the default.
class FormatTable {
public:
    FormatTable(const FontTable& fonts, const ColorTable& colors)
        : fonts_(fonts), colors_(colors) {}

    std::size_t indexOf(const CharProps& props);
    // The font face that format index needs: formats that differ only in colour, underline or
    // link share one.
    std::size_t faceOf(std::size_t format) const { return faceOfFormat_.at(format); }
    // The font that props use, with the default font looked up; nullptr when there is none.
    const FontEntry* fontOf(const CharProps& props) const;
    void setDefaultFont(int number);
    // The font or colour table changed, so the props seen last may now look different.
    void tablesChanged() { cacheValid_ = false; }
    std::vector<CharFormat> takeFormats() { return std::move(formats_); }

private:
    CharFormat makeFormat(const CharProps& props) const;

    const FontTable& fonts_;
    const ColorTable& colors_;
    int defaultFont_ = 0;
    std::vector<CharFormat> formats_;
    std::map<CharProps, std::size_t> indexes_;
    std::vector<std::size_t> faceOfFormat_;
    // family, size, bold, italic, raised or lowered, small capitals
    using Face = std::tuple<std::optional<int>, int, bool, bool, bool, bool>;
    std::map<Face, std::size_t> faces_;
    // Runs of text mostly repeat the format of the run before.
    bool cacheValid_ = false;
    CharProps cachedProps_;
    std::size_t cachedIndex_ = 0;
};

}  // namespace moravik::rtf::detail

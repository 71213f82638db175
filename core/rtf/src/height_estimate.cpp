#include "moravik/rtf/height_estimate.h"

#include <algorithm>

namespace moravik::rtf::detail {
namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr double kLineHeightInEms = 1.5;

bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

}  // namespace

Extent shownSize(const Picture& picture) {
    const double width = picture.width / kTwipsPerPixel;
    const double height = picture.height / kTwipsPerPixel;
    const double pixelWidth = picture.pixelWidth;
    const double pixelHeight = picture.pixelHeight;
    if (width > 0 && height > 0) return {width, height};
    if (width > 0 && pixelWidth > 0) return {width, width * pixelHeight / pixelWidth};
    if (height > 0 && pixelHeight > 0) return {height * pixelWidth / pixelHeight, height};
    return {pixelWidth, pixelHeight};
}

// Half-points are 1/144 inch, and the document counts 96 pixels to the inch.
double emOf(const CharFormat& format) { return format.halfPoints * 2.0 / 3.0; }

TextExtent::TextExtent(double width, double tallestEm, double spacing)
    : width_(std::max(width, tallestEm)),
      lineHeight_(kLineHeightInEms * tallestEm),
      spacing_(spacing) {}

void TextExtent::add(std::string_view utf8, double em) {
    used_ += static_cast<double>(utf8.size()) * em;
    lineBreaks_ += static_cast<std::size_t>(std::ranges::count(utf8, '\n'));
}

double TextExtent::height() const {
    return (used_ / width_ + static_cast<double>(lineBreaks_) + 1) * lineHeight_ + pictures_ +
           spacing_;
}

std::size_t TextExtent::bytesThatFit(std::string_view utf8, double em, double limit) const {
    TextExtent extent = *this;
    std::size_t fit = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (startsCharacter(utf8[i])) fit = i;
        extent.add(utf8.substr(i, 1), em);
        if (extent.height() > limit) return fit;
    }
    return utf8.size();
}

double lineWidth(const ParagraphFormat& format, double tallestEm) {
    const int indents = std::max(format.leftIndent, 0) + std::max(format.rightIndent, 0) +
                        std::max(format.firstLineIndent, 0);
    return std::max(kNarrowestView - indents / kTwipsPerPixel, tallestEm);
}

}  // namespace moravik::rtf::detail

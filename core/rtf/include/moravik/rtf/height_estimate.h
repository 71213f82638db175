#pragma once

#include <cstddef>
#include <string_view>

#include "moravik/rtf/document.h"

namespace moravik::rtf::detail {

// Qt lays a document out on one page 8,388,607 pixels tall, and once the text runs past its end
// the layout never ends. So the builder estimates from above how tall each paragraph can get,
// and cuts the document before the estimate passes kMaxDocumentHeight.
inline constexpr double kMaxDocumentHeight = 4'000'000;
// The estimate holds in a view at least this wide; the help windows' view is 540 pixels wide.
inline constexpr double kNarrowestView = 200;

struct Extent {
    double width = 0;
    double height = 0;
};

// The size in pixels that a picture is shown at: as the file asks, or the image's own; one side
// given alone keeps the image's proportions.
Extent shownSize(const Picture& picture);

// A font's em in pixels.
double emOf(const CharFormat& format);

// The height that text takes at most: each byte as wide as its font's em, every line as tall as
// 1.5 times the largest em of its paragraph, and a picture on a line of its own.
class TextExtent {
public:
    // width: of the lines; tallestEm: the paragraph's largest em; spacing: above and below it.
    TextExtent(double width, double tallestEm, double spacing);

    void add(std::string_view utf8, double em);
    void addPicture(const Extent& picture) { pictures_ += picture.height + lineHeight_; }
    double height() const;
    // The bytes at the start of utf8, cut at a character's end, that fit in limit pixels.
    std::size_t bytesThatFit(std::string_view utf8, double em, double limit) const;

private:
    double width_;
    double lineHeight_;
    double spacing_;
    double used_ = 0;  // pixels of line width taken
    std::size_t lineBreaks_ = 0;
    double pictures_ = 0;
};

// The width a paragraph's lines have at least, in the narrowest view.
double lineWidth(const ParagraphFormat& format, double tallestEm);

}  // namespace moravik::rtf::detail

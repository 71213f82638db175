#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "moravik/rtf/document.h"

namespace moravik::rtf::detail {

// The width and height of a PNG or JPEG image in pixels, read from its header; nothing when the
// data holds no such header.
struct PixelSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};
std::optional<PixelSize> pixelSize(ImageFormat format, std::string_view data);

// A \pict group: its words give the picture's kind and size, and its text the image file in
// hexadecimal (or \bin data).
class PictureReader {
public:
    // kind: an ImageFormat, or a negative value for a format this reader does not show.
    void setKind(std::int32_t kind) { kind_ = kind; }
    void setWidth(std::int32_t twips) { width_ = twips; }
    void setHeight(std::int32_t twips) { height_ = twips; }
    void setScaleX(std::int32_t percent) { scaleX_ = percent; }
    void setScaleY(std::int32_t percent) { scaleY_ = percent; }
    void appendHex(std::string_view text);
    void appendBinary(std::string_view bytes);

    struct Shown {
        Picture picture;
        std::size_t pixels = 0;  // what its decoded image costs, in pixels of 8 bits a channel
    };
    // The picture to show, or the reason it is left out.
    std::variant<Shown, std::string> finish();

private:
    bool room(std::size_t bytes);

    std::int32_t kind_ = -1;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t scaleX_ = 100;
    std::int32_t scaleY_ = 100;
    std::string data_;
    int highNibble_ = -1;  // the first digit of a byte whose second is still to come
    bool tooLarge_ = false;
};

}  // namespace moravik::rtf::detail

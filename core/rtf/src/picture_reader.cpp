#include "picture_reader.h"

#include <algorithm>

#include "decimal.h"
#include "moravik/rtf/parser.h"
#include "text_rules.h"

namespace moravik::rtf::detail {
namespace {

constexpr std::int32_t kMaxScalePercent = 1000;

std::uint32_t bigEndian(std::string_view bytes) {
    std::uint32_t value = 0;
    for (const char byte : bytes) value = value << 8 | static_cast<unsigned char>(byte);
    return value;
}

// The IHDR chunk comes first, and holds the width and height.
std::optional<PixelSize> pngSize(std::string_view data) {
    if (data.size() < 24 || !data.starts_with("\x89PNG\r\n\x1A\n") ||
        data.substr(12, 4) != "IHDR") {
        return std::nullopt;
    }
    return PixelSize{bigEndian(data.substr(16, 4)), bigEndian(data.substr(20, 4))};
}

// The segments of a JPEG file come one after another until the frame header (SOFn) that holds
// the height and width.
std::optional<PixelSize> jpegSize(std::string_view data) {
    if (!data.starts_with("\xFF\xD8")) return std::nullopt;
    std::size_t at = 2;
    while (at + 4 <= data.size()) {
        if (static_cast<unsigned char>(data[at]) != 0xFF) return std::nullopt;
        const auto marker = static_cast<unsigned char>(data[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const std::size_t length = bigEndian(data.substr(at + 2, 2));
        const bool frameHeader =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader && at + 9 <= data.size()) {
            return PixelSize{bigEndian(data.substr(at + 7, 2)), bigEndian(data.substr(at + 5, 2))};
        }
        if (length < 2) return std::nullopt;
        at += 2 + length;
    }
    return std::nullopt;
}

std::int32_t scaled(std::int32_t twips, std::int32_t percent) {
    const std::int64_t size = std::int64_t{std::clamp(twips, 0, kMaxTwips)} *
                              std::clamp(percent, 1, kMaxScalePercent) / 100;
    return static_cast<std::int32_t>(std::min<std::int64_t>(size, kMaxTwips));
}

}  // namespace

std::optional<PixelSize> pixelSize(ImageFormat format, std::string_view data) {
    return format == ImageFormat::Png ? pngSize(data) : jpegSize(data);
}

bool PictureReader::room(std::size_t bytes) {
    tooLarge_ = tooLarge_ || bytes > kMaxPictureBytes - data_.size();
    return kind_ >= 0 && !tooLarge_;
}

void PictureReader::appendHex(std::string_view text) {
    if (!room(text.size() / 2 + 1)) return;
    for (const char c : text) {
        const int value = hexValue(c);
        if (value < 0) continue;  // blanks between the digits
        if (highNibble_ < 0) {
            highNibble_ = value;
        } else {
            data_ += static_cast<char>(highNibble_ << 4 | value);
            highNibble_ = -1;
        }
    }
}

void PictureReader::appendBinary(std::string_view bytes) {
    if (room(bytes.size())) data_.append(bytes);
}

std::variant<PictureReader::Shown, std::string> PictureReader::finish() {
    if (kind_ < 0) return "a picture in a format other than PNG or JPEG is left out";
    if (tooLarge_) {
        return "a picture larger than " + decimal(kMaxPictureBytes / (1024 * 1024)) +
               " MB is left out";
    }
    const auto format = static_cast<ImageFormat>(kind_);
    const std::optional<PixelSize> size = pixelSize(format, data_);
    if (!size || size->width == 0 || size->height == 0) return "a damaged picture is left out";
    const std::uint64_t pixels = std::uint64_t{size->width} * size->height;
    if (pixels > kMaxPicturePixels) {
        return "a picture of more than " + decimal(kMaxPicturePixels) + " pixels is left out";
    }
    // A PNG of 16 bits a channel decodes to twice the bytes of one of 8, and costs as much.
    const std::uint64_t cost =
        format == ImageFormat::Png && data_.size() > 24 && data_[24] == 16 ? 2 * pixels : pixels;
    Picture picture{.format = format,
                    .data = std::move(data_),
                    .pixelWidth = size->width,
                    .pixelHeight = size->height,
                    .width = scaled(width_, scaleX_),
                    .height = scaled(height_, scaleY_),
                    .leftOut = {}};
    return Shown{std::move(picture), static_cast<std::size_t>(cost)};
}

}  // namespace moravik::rtf::detail

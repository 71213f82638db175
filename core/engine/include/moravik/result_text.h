// A result text kept in place: no result text is longer than a sign, 15 digits,
// a point, padding zeros and an exponent, so a pass allocates nothing for them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace moravik {

class ResultText {
public:
    static constexpr std::size_t capacity = 24;

    constexpr ResultText() = default;

    // Keeps at most `capacity` characters; formatting never writes more.
    constexpr explicit ResultText(std::string_view text)
        : size_(static_cast<std::uint8_t>(text.size() < capacity ? text.size() : capacity)) {
        text.copy(chars_.data(), size_);
    }

    constexpr std::string_view view() const { return {chars_.data(), size_}; }
    constexpr operator std::string_view() const { return view(); }
    std::string str() const { return std::string(view()); }

    friend constexpr bool operator==(const ResultText& a, const ResultText& b) {
        return a.view() == b.view();
    }
    friend constexpr bool operator==(const ResultText& a, std::string_view b) {
        return a.view() == b;
    }

private:
    std::array<char, capacity> chars_{};
    std::uint8_t size_ = 0;
};

}  // namespace moravik

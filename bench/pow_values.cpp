// The engine's pow for bench/pow_against_mpmath.py: each input line holds a
// base and an exponent as the 16 hexadecimal digits of their bits, and the
// power's bits come out the same way, one line each.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "moravik/portable_math.h"

namespace {

bool readBits(const char*& first, const char* last, double& value) {
    while (first != last && *first == ' ') ++first;
    std::uint64_t bits = 0;
    const auto [end, error] = std::from_chars(first, last, bits, 16);
    if (error != std::errc{}) return false;
    first = end;
    value = __builtin_bit_cast(double, bits);
    return true;
}

}  // namespace

int main() {
    char line[128];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        const char* first = line;
        const char* last = line + std::strlen(line);
        double base = 0;
        double exponent = 0;
        if (!readBits(first, last, base) || !readBits(first, last, exponent)) {
            std::fputs("pow_values: expected two 16-digit hexadecimal bit patterns a line\n",
                       stderr);
            return 2;
        }
        char out[17];  // 16 digits and the line break
        const auto bits = __builtin_bit_cast(std::uint64_t, moravik::portable::pow(base, exponent));
        char* end = std::to_chars(out, out + 16, bits, 16).ptr;
        *end++ = '\n';
        std::fwrite(out, 1, static_cast<std::size_t>(end - out), stdout);
    }
    return 0;
}

#include "text_matching.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace moravik::cli {

std::string looseName(std::string_view text) {
    std::string name;
    bool pendingBlank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t') {
            pendingBlank = !name.empty();
            continue;
        }
        if (pendingBlank) name.push_back(' ');
        pendingBlank = false;
        name.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return name;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substituted = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, substituted});
        }
    }
    return row[b.size()];
}

bool isNearMatch(std::string_view typed, std::string_view name) {
    const auto allowed = std::max<std::size_t>(1, typed.size() / 3);
    // The lengths alone rule out most pairs, and keep a huge text from
    // costing its length times every name.
    const auto difference =
        typed.size() > name.size() ? typed.size() - name.size() : name.size() - typed.size();
    return difference <= allowed && editDistance(typed, name) <= allowed;
}

}  // namespace moravik::cli

#include "diagnostics.h"

#include <algorithm>

namespace moravik::rtf::detail {

void Diagnostics::note(DiagnosticKind kind, std::string message, std::size_t offset) {
    if (notes_.size() < kMaxDiagnostics) {
        notes_.push_back({kind, std::move(message), offset});
    } else {
        ++omitted_;
    }
}

void Diagnostics::noteOnce(DiagnosticKind kind, std::string message, std::size_t offset) {
    if (std::ranges::find(notedOnce_, message) != notedOnce_.end()) return;
    notedOnce_.push_back(message);
    note(kind, std::move(message), offset);
}

void Diagnostics::moveInto(ParseResult& result) {
    result.diagnostics = std::move(notes_);
    result.omittedDiagnostics = omitted_;
}

}  // namespace moravik::rtf::detail

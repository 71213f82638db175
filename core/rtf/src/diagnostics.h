#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "moravik/rtf/parser.h"

namespace moravik::rtf::detail {

// What the parser reads past or ignores: at most kMaxDiagnostics notes, and a count of the rest.
class Diagnostics {
public:
    void note(DiagnosticKind kind, std::string message, std::size_t offset);
    // Notes the message the first time only, for constructs that may come again and again.
    void noteOnce(DiagnosticKind kind, std::string message, std::size_t offset);
    void moveInto(ParseResult& result);

private:
    std::vector<Diagnostic> notes_;
    std::size_t omitted_ = 0;
    std::vector<std::string> notedOnce_;
};

}  // namespace moravik::rtf::detail

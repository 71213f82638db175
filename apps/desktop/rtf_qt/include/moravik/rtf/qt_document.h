#pragma once

#include <stop_token>
#include <string_view>

class QTextDocument;

namespace moravik::rtf {

struct Document;

// The paragraphs the builder adds to a document it does not show whole: at the top when the
// reader or the builder cut it short, and at the end when its file ends before it does.
inline constexpr std::string_view kCutNotice =
    "This document is too large to show whole. Only its beginning is shown.";
inline constexpr std::string_view kTruncatedNotice =
    "The file ends here, before the end of its document: the rest is missing.";

// Replaces the content of target with source. Links become anchors (setAnchorHref), pictures
// image resources, and lengths in twips the document's pixels at 96 dots per inch. Returns
// false when a stop request ended the building early; target then holds part of source.
bool buildDocument(const Document& source, QTextDocument& target, std::stop_token stop = {});

}  // namespace moravik::rtf

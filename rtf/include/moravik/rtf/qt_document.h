#pragma once

#include <QString>

class QTextDocument;

namespace moravik::rtf {

struct Document;

// Larger files are refused before they are read.
inline constexpr qint64 kMaxFileBytes = qint64{64} * 1024 * 1024;

// Replaces the content of target with source. Links become anchors (setAnchorHref), and
// lengths in twips become the document's pixels at 96 dots per inch.
void buildDocument(const Document& source, QTextDocument& target);

// Reads the Rich Text Format file at path and replaces the content of document
// with it. Returns an empty string on success; otherwise a short reason in plain
// words (e.g. "the file does not exist", "the file cannot be read",
// "the file is not a Rich Text Format document", "the file is larger than 64 MB"),
// and the document is left unchanged.
QString loadFile(const QString& path, QTextDocument& document);

}  // namespace moravik::rtf

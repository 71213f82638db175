#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "moravik/rtf/document.h"
#include "moravik/rtf/parser.h"

namespace moravik::rtf::testing {

// A document with the tables that the feature tests refer to: fonts 0-3 and colours 1-2.
inline std::string withTables(std::string_view body) {
    return std::string(
               "{\\rtf1\\ansi\\ansicpg1252\\deff0"
               "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset2 Symbol;}"
               "{\\f2\\fnil\\fcharset2 Wingdings;}{\\f3\\fmodern\\fcharset0 Courier New;}}"
               "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n") +
           std::string(body) + "}";
}

// The paragraphs' texts joined by '|'.
inline std::string joinedText(const Document& document) {
    std::string text;
    for (std::size_t i = 0; i < document.paragraphs.size(); ++i) {
        if (i > 0) text += '|';
        text += plainText(document.paragraphs[i]);
    }
    return text;
}

}  // namespace moravik::rtf::testing

namespace moravik::rtf {

// Shows a document in failure messages: each paragraph, and each run with its format's index.
inline void PrintTo(const Document& document, std::ostream* out) {
    for (const Paragraph& paragraph : document.paragraphs) {
        *out << "\n  paragraph:";
        for (const Run& run : paragraph.runs) *out << " [" << run.format << "]'" << run.text << "'";
    }
    *out << "\n  " << document.formats.size() << " formats";
}

}  // namespace moravik::rtf

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace moravik::rtf {

inline std::string repeated(std::string_view text, std::size_t times) {
    std::string result;
    for (std::size_t i = 0; i < times; ++i) result += text;
    return result;
}

// Word's head: Times New Roman, and Symbol as font 3.
inline const std::string kWordHead =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0{\\fonttbl{\\f0\\froman"
    "\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}{\\f3\\froman"
    "\\fcharset2\\fprq2{\\*\\panose 05050102010706020507}Symbol;}}\\pard\\plain \\f0\\fs24 ";

// body in a document with fonts 0 Arial (the default), 1 Symbol, 2 Wingdings, 3 Courier New and
// 4 Café Sans, written in the table's several forms, and colours 1 red and 2 blue.
inline std::string withTables(std::string_view body) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset2 Wingdings;}"
           "\\f3\\fmodern{\\*\\panose 02070309}Courier New;{\\f4 Caf\\'e9 Sans}}"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n" +
           std::string(body) + "}";
}

}  // namespace moravik::rtf

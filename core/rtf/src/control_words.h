#pragma once

#include <cstdint>
#include <string_view>

namespace moravik::rtf::detail {

// What a control word does, in blocks by the unit that handles them. topicOf names each action's
// block case by case, so the order here decides nothing.
enum class Action : std::uint8_t {
    // Destinations: words that say what their whole group holds (destinations.cpp).
    FontTable,
    ColorTable,
    Field,
    FieldInstruction,
    FieldResult,
    Picture,
    ShowGroup,       // a group whose text is shown, such as a field's result
    ListText,        // the number text of a list item, shown unless it is blank
    Footnote,        // a note, shown after the document's text
    SkipQuietly,     // metadata and alternatives, nothing a reader misses
    SkipWithReport,  // text that this reader does not show, such as headers, footers and comments
    // Characters (parser.cpp) and their formatting (character_words.cpp).
    Character,  // value: the character the word stands for
    LineBreak,
    NoteNumber,  // \chftn: the number of the note
    Unicode,
    UnicodeSkip,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    StrikeOut,
    Hidden,
    Caps,
    SmallCaps,
    FontSize,
    Font,
    Color,
    Highlight,
    Superscript,
    Subscript,
    NoSuperSub,
    Up,
    Down,
    // Paragraph ends (parser.cpp) and paragraph formatting (paragraph_words.cpp).
    Paragraph,
    Pard,
    Align,  // value: the Alignment
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    SpaceBefore,
    SpaceAfter,
    TabKind,  // value: the TabAlignment of the next TabStop
    TabStop,
    InTable,
    // Tables (table_words.cpp).
    Cell,
    Row,
    RowDefaults,
    CellBoundary,
    CellMerge,    // value: 0 for \clmrg, else the VerticalMerge
    CellShading,  // \clcbpatN
    BorderSide,   // value: a cell's top, left, bottom or right border; -1 for another's
    BorderStyle,  // \brdrnone: no line on the side
    BorderWidth,
    BorderColor,
    // Pictures (destinations.cpp).
    PictureKind,   // value: the PictureKind
    PictureWidth,  // the size to show it at, in twips
    PictureHeight,
    PictureScaleX,
    PictureScaleY,
    // The font and colour tables' entries, and settings of the whole document (parser.cpp).
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    CodePage,  // value: the code page of \ansi, \mac, \pc and \pca
    DefaultFont,
    DefaultTab,
};

enum class Topic : std::uint8_t { Destination, Character, Paragraph, Table, Picture, Document };

Topic topicOf(Action action);

struct WordEntry {
    std::string_view name;
    Action action;
    std::int32_t value = 0;  // the character, alignment, picture kind or code page it stands for
};

// The entry of a control word, or nullptr for a word this reader ignores.
const WordEntry* findWord(std::string_view name);

}  // namespace moravik::rtf::detail

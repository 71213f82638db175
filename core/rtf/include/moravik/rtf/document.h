#pragma once

// Moravik shows its help documents, which are in Rich Text Format (RTF), with a small reader of
// its own. parse() (parser.h) runs a byte tokenizer over the file and keeps RTF's group state,
// the formatting that a closing brace undoes, on an explicit stack of fixed depth. It yields the
// neutral Document below: paragraphs made of formatted runs, with no Qt in it, so the reader can
// be tested and fuzzed without a display. buildDocument() (qt_document.h) turns a Document into
// a QTextDocument, and loadDocument() (loader.h) does both steps for a file on disk, on a worker
// thread when the window asks.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moravik::rtf {

enum class Alignment { Left, Center, Right, Justify };

enum class VerticalAlignment { Baseline, Superscript, Subscript };

enum class Capitalization { AsWritten, AllCaps, SmallCaps };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// RTF's default size: 12 points.
inline constexpr int kDefaultHalfPoints = 24;

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int halfPoints = kDefaultHalfPoints;  // font size in half-points, RTF's own unit
    std::optional<std::size_t> font;      // index into Document::fonts; empty: the default font
    std::optional<Rgb> color;             // empty: the default text colour
    std::optional<Rgb> highlight;         // empty: no background colour
    VerticalAlignment verticalAlignment = VerticalAlignment::Baseline;
    Capitalization capitalization = Capitalization::AsWritten;  // the text keeps its own case
    std::optional<std::size_t> link;  // index into Document::links; empty: the run is no link
    bool operator==(const CharFormat&) const = default;
};

// U+FFFC, the text of a run that shows a picture.
inline constexpr std::string_view kPictureText = "\xEF\xBF\xBC";

// Text in UTF-8. Inside a run, '\n' is a line break within the paragraph and '\t' a tab.
struct Run {
    std::string text;
    std::size_t format = 0;              // index into Document::formats
    std::optional<std::size_t> picture;  // index into Document::pictures; text is kPictureText
    bool operator==(const Run&) const = default;
};

enum class ImageFormat { Png, Jpeg };

struct Picture {
    ImageFormat format = ImageFormat::Png;
    std::string data;  // the bytes of the image file
    // The image's own size, from its header.
    std::uint32_t pixelWidth = 0;
    std::uint32_t pixelHeight = 0;
    // The size to show it at, in twips; 0 where the file gives none, so the image's own counts.
    int width = 0;
    int height = 0;
    std::string leftOut;  // why the picture is not shown, in plain words; empty when it is
    bool operator==(const Picture&) const = default;
};

enum class TabAlignment { Left, Center, Right, Decimal };

struct TabStop {
    int position = 0;  // twips from the left margin
    TabAlignment alignment = TabAlignment::Left;
    bool operator==(const TabStop&) const = default;
};

// Lengths in twips (1/1440 inch), as RTF gives them.
struct ParagraphFormat {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;  // relative to leftIndent; negative for a hanging indent
    int spaceBefore = 0;
    int spaceAfter = 0;
    std::vector<TabStop> tabStops;  // ascending
    bool operator==(const ParagraphFormat&) const = default;
};

enum class VerticalMerge { None, First, Continue };

struct CellBorder {
    int width = 0;             // twips
    std::optional<Rgb> color;  // empty: the default text colour
    bool operator==(const CellBorder&) const = default;
};

// A table cell as its row defines it.
struct TableCell {
    int end = 0;                                        // twips from the left margin
    VerticalMerge verticalMerge = VerticalMerge::None;  // \clvmgf starts a cell that spans rows
    bool mergedWithPrevious = false;                    // \clmrg: the cell before spans this one
    std::optional<Rgb> shading;
    // Top, left, bottom and right; empty where the file gives no border.
    std::array<std::optional<CellBorder>, 4> borders;
    bool operator==(const TableCell&) const = default;
};

struct Paragraph {
    ParagraphFormat format;
    std::vector<Run> runs;
    // Set for a row of a table: the index of each cell's first run, and the cells as the row
    // defines them (\cellx), which may be fewer. Every cell but the last ends with a '\t' that
    // parts it from the next, so the row reads as tab-separated text too.
    std::vector<std::size_t> cellFirstRuns;
    std::vector<TableCell> cells;
    bool operator==(const Paragraph&) const = default;
};

struct Document {
    // Runs name their format, and formats their font and link, by index, so each distinct format,
    // font name and address is kept once however often the text uses it.
    std::vector<CharFormat> formats;
    std::vector<std::string> fonts;  // the font table's names, in the order the file lists them
    std::vector<std::string> links;  // http, https and mailto addresses, one for each link field
    std::vector<Picture> pictures;
    std::vector<Paragraph> paragraphs;  // the text's, then its notes' (footnotes)
    int defaultTab = 720;               // twips between the default tab stops
    bool cut = false;                   // only the beginning of the file's document is kept
    bool truncated = false;             // the file ends before its document does

    const CharFormat& format(const Run& run) const { return formats.at(run.format); }
    // The font family and the address of a format; empty when it has none.
    std::string_view fontFamily(const CharFormat& f) const {
        return f.font ? std::string_view(fonts.at(*f.font)) : std::string_view();
    }
    std::string_view link(const CharFormat& f) const {
        return f.link ? std::string_view(links.at(*f.link)) : std::string_view();
    }
    bool operator==(const Document&) const = default;
};

// The text of a paragraph, its runs joined.
std::string plainText(const Paragraph& paragraph);

}  // namespace moravik::rtf

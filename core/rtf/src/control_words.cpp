#include "control_words.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "moravik/rtf/document.h"

namespace moravik::rtf::detail {
namespace {

constexpr auto alignment(Alignment a) { return static_cast<std::int32_t>(a); }
constexpr auto picture(ImageFormat f) { return static_cast<std::int32_t>(f); }
constexpr auto tab(TabAlignment a) { return static_cast<std::int32_t>(a); }
constexpr std::int32_t kOtherPicture = -1;

// Document settings and metadata: nothing a reader of the document misses.
constexpr std::string_view kSettingsDestinations[] = {
    "colorschememapping",
    "datastore",
    "defchp",
    "defpap",
    "docvar",
    "expandedcolortbl",
    "fchars",
    "filetbl",
    "generator",
    "info",
    "latentstyles",
    "lchars",
    "listoverridetable",
    "listtable",
    "mmathPr",
    "passwordhash",
    "pgdsctbl",
    "pgptbl",
    "protusertbl",
    "revtbl",
    "rsidtbl",
    "stylesheet",
    "template",
    "themedata",
    "userprops",
    "wgrffmtfilter",
    "xmlnstbl",
};

// Parts of fonts, pictures, fields, lists, notes and revisions that carry no text to show, or
// only another form of text shown elsewhere.
constexpr std::string_view kDetailDestinations[] = {
    "aftncn",    "aftnsep",    "aftnsepc",    "atnauthor",      "atnid",      "atrfend",
    "atrfstart", "background", "bkmkend",     "bkmkstart",      "blipuid",    "falt",
    "ffdata",    "fldtype",    "fname",       "fontemb",        "fontfile",   "ftncn",
    "ftnsep",    "ftnsepc",    "listpicture", "nesttableprops", "nonshppict", "objclass",
    "objdata",   "oldcprops",  "oldpprops",   "oldsprops",      "oldtprops",  "panose",
    "picprop",   "pn",         "pnseclvl",    "shpinst",        "ud",
};

// Text that this reader does not show, such as headers, footnotes and index entries.
constexpr std::string_view kReportedDestinations[] = {
    "annotation", "do",      "footer",  "footerf", "footerl", "footerr", "header",
    "headerf",    "headerl", "headerr", "rxe",     "tc",      "txe",     "xe",
};

// Underline styles; all of them show as a plain underline.
constexpr std::string_view kUnderlines[] = {
    "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
    "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
    "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave",
};

// Picture formats that this reader does not show.
constexpr std::string_view kOtherPictures[] = {
    "dibitmap", "emfblip", "macpict", "pmmetafile", "wbitmap", "wmetafile",
};

constexpr WordEntry kOtherWords[] = {
    {"ansi", Action::CodePage, 1252},
    {"ansicpg", Action::CodePage},
    {"b", Action::Bold},
    {"blue", Action::Blue},
    {"bullet", Action::Character, 0x2022},
    {"caps", Action::Caps},
    {"cb", Action::Highlight},
    {"cell", Action::Cell},
    {"cellx", Action::CellBoundary},
    {"clbrdrb", Action::BorderSide, 2},
    {"clbrdrl", Action::BorderSide, 1},
    {"clbrdrr", Action::BorderSide, 3},
    {"clbrdrt", Action::BorderSide, 0},
    {"clcbpat", Action::CellShading},
    {"clmrg", Action::CellMerge, 0},
    {"clvmgf", Action::CellMerge, static_cast<std::int32_t>(VerticalMerge::First)},
    {"clvmrg", Action::CellMerge, static_cast<std::int32_t>(VerticalMerge::Continue)},
    {"box", Action::BorderSide, -1},
    {"brdrb", Action::BorderSide, -1},
    {"brdrcf", Action::BorderColor},
    {"brdrl", Action::BorderSide, -1},
    {"brdrnil", Action::BorderStyle},
    {"brdrnone", Action::BorderStyle},
    {"brdrr", Action::BorderSide, -1},
    {"brdrt", Action::BorderSide, -1},
    {"brdrw", Action::BorderWidth},
    {"cf", Action::Color},
    {"chftn", Action::NoteNumber},
    {"chcbpat", Action::Highlight},
    {"colortbl", Action::ColorTable},
    {"column", Action::Paragraph},
    {"cpg", Action::FontCodePage},
    {"deff", Action::DefaultFont},
    {"deftab", Action::DefaultTab},
    {"dn", Action::Down},
    {"emdash", Action::Character, 0x2014},
    {"emspace", Action::Character, 0x2003},
    {"endash", Action::Character, 0x2013},
    {"enspace", Action::Character, 0x2002},
    {"f", Action::Font},
    {"fcharset", Action::FontCharset},
    {"fi", Action::FirstLineIndent},
    {"field", Action::Field},
    {"fldinst", Action::FieldInstruction},
    {"footnote", Action::Footnote},
    {"fldrslt", Action::FieldResult},
    {"fonttbl", Action::FontTable},
    {"fs", Action::FontSize},
    {"green", Action::Green},
    {"highlight", Action::Highlight},
    {"i", Action::Italic},
    {"intbl", Action::InTable},
    {"jpegblip", Action::PictureKind, picture(ImageFormat::Jpeg)},
    {"ldblquote", Action::Character, 0x201C},
    {"li", Action::LeftIndent},
    {"lin", Action::LeftIndent},
    {"line", Action::LineBreak},
    {"listtext", Action::ListText},
    {"lquote", Action::Character, 0x2018},
    {"ltrmark", Action::Character, 0x200E},
    {"mac", Action::CodePage, 10000},
    {"nestcell", Action::Character, '\t'},
    {"nestrow", Action::LineBreak},
    {"nosupersub", Action::NoSuperSub},
    {"page", Action::Paragraph},
    {"par", Action::Paragraph},
    {"pard", Action::Pard},
    {"pc", Action::CodePage, 437},
    {"pca", Action::CodePage, 850},
    {"pichgoal", Action::PictureHeight},
    {"picscalex", Action::PictureScaleX},
    {"picscaley", Action::PictureScaleY},
    {"pict", Action::Picture},
    {"picwgoal", Action::PictureWidth},
    {"plain", Action::Plain},
    {"pngblip", Action::PictureKind, picture(ImageFormat::Png)},
    {"pntext", Action::ListText},
    {"qc", Action::Align, alignment(Alignment::Center)},
    {"qd", Action::Align, alignment(Alignment::Justify)},
    {"qj", Action::Align, alignment(Alignment::Justify)},
    {"ql", Action::Align, alignment(Alignment::Left)},
    {"qmspace", Action::Character, 0x2005},
    {"qr", Action::Align, alignment(Alignment::Right)},
    {"rdblquote", Action::Character, 0x201D},
    {"red", Action::Red},
    {"result", Action::ShowGroup},
    {"ri", Action::RightIndent},
    {"rin", Action::RightIndent},
    {"row", Action::Row},
    {"rquote", Action::Character, 0x2019},
    {"rtlmark", Action::Character, 0x200F},
    {"sa", Action::SpaceAfter},
    {"sb", Action::SpaceBefore},
    {"scaps", Action::SmallCaps},
    {"sect", Action::Paragraph},
    {"shppict", Action::ShowGroup},
    {"shprslt", Action::ShowGroup},
    {"softline", Action::LineBreak},
    {"strike", Action::StrikeOut},
    {"striked", Action::StrikeOut},
    {"sub", Action::Subscript},
    {"super", Action::Superscript},
    {"tab", Action::Character, '\t'},
    {"tqc", Action::TabKind, tab(TabAlignment::Center)},
    {"tqdec", Action::TabKind, tab(TabAlignment::Decimal)},
    {"tqr", Action::TabKind, tab(TabAlignment::Right)},
    {"trbrdrb", Action::BorderSide, -1},
    {"trbrdrh", Action::BorderSide, -1},
    {"trbrdrl", Action::BorderSide, -1},
    {"trbrdrr", Action::BorderSide, -1},
    {"trbrdrt", Action::BorderSide, -1},
    {"trbrdrv", Action::BorderSide, -1},
    {"trowd", Action::RowDefaults},
    {"tx", Action::TabStop},
    {"u", Action::Unicode},
    {"uc", Action::UnicodeSkip},
    {"ulnone", Action::UnderlineNone},
    {"up", Action::Up},
    {"v", Action::Hidden},
    {"zwbo", Action::Character, 0x200B},
    {"zwj", Action::Character, 0x200D},
    {"zwnbo", Action::Character, 0x2060},
    {"zwnj", Action::Character, 0x200C},
};

constexpr auto kWords = [] {
    std::array<WordEntry, std::size(kOtherWords) + std::size(kSettingsDestinations) +
                              std::size(kDetailDestinations) + std::size(kReportedDestinations) +
                              std::size(kUnderlines) + std::size(kOtherPictures)>
        words{};
    auto out = std::ranges::copy(kOtherWords, words.begin()).out;
    for (std::string_view name : kSettingsDestinations) *out++ = {name, Action::SkipQuietly};
    for (std::string_view name : kDetailDestinations) *out++ = {name, Action::SkipQuietly};
    for (std::string_view name : kReportedDestinations) *out++ = {name, Action::SkipWithReport};
    for (std::string_view name : kUnderlines) *out++ = {name, Action::Underline};
    for (std::string_view name : kOtherPictures) {
        *out++ = {name, Action::PictureKind, kOtherPicture};
    }
    std::ranges::sort(words, {}, &WordEntry::name);
    return words;
}();
static_assert(std::ranges::adjacent_find(kWords, {}, &WordEntry::name) == kWords.end(),
              "each control word has one meaning");

}  // namespace

Topic topicOf(Action action) {
    using enum Action;
    switch (action) {
        case FontTable:
        case ColorTable:
        case Field:
        case FieldInstruction:
        case FieldResult:
        case Picture:
        case ShowGroup:
        case ListText:
        case Footnote:
        case SkipQuietly:
        case SkipWithReport:
            return Topic::Destination;
        case Character:
        case LineBreak:
        case NoteNumber:
        case Unicode:
        case UnicodeSkip:
        case Plain:
        case Bold:
        case Italic:
        case Underline:
        case UnderlineNone:
        case StrikeOut:
        case Hidden:
        case Caps:
        case SmallCaps:
        case FontSize:
        case Font:
        case Color:
        case Highlight:
        case Superscript:
        case Subscript:
        case NoSuperSub:
        case Up:
        case Down:
            return Topic::Character;
        case Paragraph:
        case Pard:
        case Align:
        case LeftIndent:
        case RightIndent:
        case FirstLineIndent:
        case SpaceBefore:
        case SpaceAfter:
        case TabKind:
        case TabStop:
        case InTable:
            return Topic::Paragraph;
        case Cell:
        case Row:
        case RowDefaults:
        case CellBoundary:
        case CellMerge:
        case CellShading:
        case BorderSide:
        case BorderStyle:
        case BorderWidth:
        case BorderColor:
            return Topic::Table;
        case PictureKind:
        case PictureWidth:
        case PictureHeight:
        case PictureScaleX:
        case PictureScaleY:
            return Topic::Picture;
        case FontCharset:
        case FontCodePage:
        case Red:
        case Green:
        case Blue:
        case CodePage:
        case DefaultFont:
        case DefaultTab:
            return Topic::Document;
    }
    return Topic::Document;
}

const WordEntry* findWord(std::string_view name) {
    const auto* found = std::ranges::lower_bound(kWords, name, {}, &WordEntry::name);
    return found != kWords.end() && found->name == name ? found : nullptr;
}

}  // namespace moravik::rtf::detail

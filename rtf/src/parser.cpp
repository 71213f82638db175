#include "moravik/rtf/parser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <map>
#include <optional>

#include "encoding.h"
#include "tokenizer.h"

namespace moravik::rtf {
namespace {

using detail::Encoding;
using detail::Token;
using detail::TokenKind;

// Word's own limits: 22 inches for indents and spacing, 1638 points for a font size.
constexpr int kMaxTwips = 31680;
constexpr int kMaxHalfPoints = 3276;
constexpr std::size_t kMaxFontNameBytes = 256;
constexpr std::size_t kMaxInstructionBytes = 4096;
constexpr int kSymbolCharset = 2;

// Where the text of the current group goes.
enum class Destination : std::uint8_t { Text, FontTable, ColorTable, FieldInstruction };

enum class Action : std::uint8_t {
    // Destinations: words that say what their whole group holds. They come first.
    FontTable,
    ColorTable,
    Field,
    FieldInstruction,
    FieldResult,
    Picture,
    ShowGroup,       // a group whose text is shown, e.g. the number text of a list item
    SkipQuietly,     // metadata and alternatives, nothing a reader misses
    SkipWithReport,  // text that this reader does not show, such as headers and footnotes
    // Everything else.
    Character,
    Paragraph,
    Cell,
    Row,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    StrikeOut,
    Hidden,
    FontSize,
    Font,
    Color,
    Highlight,
    Superscript,
    Subscript,
    NoSuperSub,
    Up,
    Down,
    Pard,
    Align,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    SpaceBefore,
    SpaceAfter,
    TabStop,
    InTable,
    RowDefaults,
    CellBoundary,
    CodePage,
    DefaultFont,
    FontCharset,
    Red,
    Green,
    Blue,
    UnicodeSkip,
    Unicode
};

bool isDestination(Action action) { return action <= Action::SkipWithReport; }

struct WordEntry {
    std::string_view name;
    Action action;
    std::int32_t value = 0;  // the character, the alignment or the code page the word stands for
};

constexpr auto alignment(Alignment a) { return static_cast<std::int32_t>(a); }

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
    "aftncn",         "aftnsep",    "aftnsepc",   "atnauthor", "atnid",
    "atrfend",        "atrfstart",  "background", "bkmkend",   "bkmkstart",
    "falt",           "ffdata",     "fldtype",    "fname",     "fontemb",
    "fontfile",       "ftncn",      "ftnsep",     "ftnsepc",   "listpicture",
    "nesttableprops", "nonshppict", "objclass",   "objdata",   "oldcprops",
    "oldpprops",      "oldsprops",  "oldtprops",  "panose",    "pn",
    "pnseclvl",       "shpinst",    "ud",
};

// Text that this reader does not show, such as headers, footnotes and index entries.
constexpr std::string_view kReportedDestinations[] = {
    "annotation", "do",      "footer",  "footerf", "footerl", "footerr", "footnote", "header",
    "headerf",    "headerl", "headerr", "rxe",     "tc",      "txe",     "xe",
};

// Underline styles; all of them show as a plain underline.
constexpr std::string_view kUnderlines[] = {
    "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
    "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
    "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave",
};

constexpr WordEntry kOtherWords[] = {
    {"ansi", Action::CodePage, 1252},
    {"ansicpg", Action::CodePage},
    {"b", Action::Bold},
    {"blue", Action::Blue},
    {"bullet", Action::Character, 0x2022},
    {"cb", Action::Highlight},
    {"cell", Action::Cell},
    {"cellx", Action::CellBoundary},
    {"cf", Action::Color},
    {"chcbpat", Action::Highlight},
    {"colortbl", Action::ColorTable},
    {"deff", Action::DefaultFont},
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
    {"fldrslt", Action::FieldResult},
    {"fonttbl", Action::FontTable},
    {"fs", Action::FontSize},
    {"green", Action::Green},
    {"highlight", Action::Highlight},
    {"i", Action::Italic},
    {"intbl", Action::InTable},
    {"ldblquote", Action::Character, 0x201C},
    {"li", Action::LeftIndent},
    {"lin", Action::LeftIndent},
    {"line", Action::Character, '\n'},
    {"listtext", Action::ShowGroup},
    {"lquote", Action::Character, 0x2018},
    {"ltrmark", Action::Character, 0x200E},
    {"mac", Action::CodePage, 10000},
    {"nestcell", Action::Character, '\t'},
    {"nestrow", Action::Character, '\n'},
    {"nosupersub", Action::NoSuperSub},
    {"page", Action::Paragraph},
    {"par", Action::Paragraph},
    {"pard", Action::Pard},
    {"pc", Action::CodePage, 437},
    {"pca", Action::CodePage, 850},
    {"pict", Action::Picture},
    {"plain", Action::Plain},
    {"pntext", Action::ShowGroup},
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
    {"sect", Action::Paragraph},
    {"shppict", Action::ShowGroup},
    {"shprslt", Action::ShowGroup},
    {"strike", Action::StrikeOut},
    {"striked", Action::StrikeOut},
    {"sub", Action::Subscript},
    {"super", Action::Superscript},
    {"tab", Action::Character, '\t'},
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
                              std::size(kUnderlines)>
        words{};
    auto out = std::ranges::copy(kOtherWords, words.begin()).out;
    for (std::string_view name : kSettingsDestinations) *out++ = {name, Action::SkipQuietly};
    for (std::string_view name : kDetailDestinations) *out++ = {name, Action::SkipQuietly};
    for (std::string_view name : kReportedDestinations) *out++ = {name, Action::SkipWithReport};
    for (std::string_view name : kUnderlines) *out++ = {name, Action::Underline};
    std::ranges::sort(words, {}, &WordEntry::name);
    return words;
}();
static_assert(std::ranges::adjacent_find(kWords, {}, &WordEntry::name) == kWords.end(),
              "each control word has one meaning");

const WordEntry* findWord(std::string_view name) {
    const auto* found = std::ranges::lower_bound(kWords, name, {}, &WordEntry::name);
    return found != kWords.end() && found->name == name ? found : nullptr;
}

// The character formatting that a group carries, before fonts and colours are looked up.
struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool hidden = false;
    VerticalAlignment verticalAlignment = VerticalAlignment::Baseline;
    int halfPoints = kDefaultHalfPoints;
    std::optional<int> font;  // empty: the document's default font (\deff)
    int color = 0;            // index into the colour table; 0 is the default colour
    int highlight = 0;
    int link = -1;  // index into Document::links; not reset by \plain, as the field sets it
    auto operator<=>(const CharProps&) const = default;
};

struct GroupState {
    Destination destination = Destination::Text;
    CharProps chars;
    ParagraphFormat paragraph;
    bool inTable = false;
    std::int32_t unicodeSkip = 1;  // \ucN: how many fallback characters follow each \uN
};

struct FontEntry {
    std::size_t name = 0;  // index into Document::fonts
    int charset = 0;
};

struct Field {
    std::size_t depth = 0;  // the depth of the group that holds \field
    std::string instruction;
    // The address is looked up at the field's first \fldrslt, and all its results share it.
    bool resultSeen = false;
    int link = -1;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

struct FieldArgument {
    std::string text;
    bool quoted = false;
};

// Field instructions separate arguments by blanks; quoted arguments escape '\' and '"'.
std::vector<FieldArgument> splitFieldArguments(std::string_view instruction) {
    std::vector<FieldArgument> arguments;
    std::size_t i = 0;
    while (i < instruction.size()) {
        if (isBlank(instruction[i])) {
            ++i;
            continue;
        }
        FieldArgument argument;
        if (instruction[i] == '"') {
            argument.quoted = true;
            for (++i; i < instruction.size() && instruction[i] != '"'; ++i) {
                if (instruction[i] == '\\' && i + 1 < instruction.size()) ++i;
                argument.text += instruction[i];
            }
            ++i;
        } else {
            for (; i < instruction.size() && !isBlank(instruction[i]); ++i) {
                argument.text += instruction[i];
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

// The address of a HYPERLINK field, or "" when the field is no link to a web page or a mail
// address. Other schemes (file:, javascript:, ...) never become links, so no document can make
// the viewer open or read another file.
std::string hyperlinkTarget(std::string_view instruction) {
    const std::vector<FieldArgument> arguments = splitFieldArguments(instruction);
    if (arguments.empty() || arguments[0].quoted ||
        !equalsIgnoringCase(arguments[0].text, "hyperlink")) {
        return {};
    }
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const FieldArgument& argument = arguments[i];
        if (!argument.quoted && argument.text.starts_with('\\')) {
            const std::string_view name = std::string_view(argument.text).substr(1);
            if (name == "l" || name == "o" || name == "t") ++i;  // these switches take a value
            continue;
        }
        const std::string& url = argument.text;
        const bool webOrMail = startsWithIgnoringCase(url, "http://") ||
                               startsWithIgnoringCase(url, "https://") ||
                               startsWithIgnoringCase(url, "mailto:");
        const bool clean = std::ranges::none_of(
            url, [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; });
        return webOrMail && clean ? url : std::string();
    }
    return {};
}

std::string number(std::size_t value) {
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return std::string(digits.data(), end);
}

class Parser {
public:
    Parser(std::string_view input, std::size_t start) : input_(input), tokenizer_(input, start) {}

    ParseResult run();

private:
    ParseResult fail(std::string message);
    void note(DiagnosticKind kind, std::string message, std::size_t offset);
    void openGroup();
    void closeGroup();
    void content(const Token& token);
    void skippedContent(const Token& token);
    void controlWord(const Token& token, bool ignorable);
    void skipGroup(const Token& token, bool reportText);
    void destination(const WordEntry& word, const Token& token);
    void controlSymbol(char symbol);
    void text(std::string_view bytes);
    void byte(std::uint8_t value);
    void unicode(std::int32_t value);
    void codePoint(char32_t value);
    void emit(char32_t value);
    void flushHighSurrogate();
    std::string& runText();
    std::size_t formatIndex();
    CharFormat makeFormat(const CharProps& props) const;
    const FontEntry* findFont(std::optional<int> number) const;
    Encoding encoding();
    void endParagraph(ParagraphFormat format);
    void endCell();
    void endRow();
    void commitFont();
    void commitColor();

    std::string_view input_;
    detail::Tokenizer tokenizer_;
    ParseResult result_;
    GroupState state_;
    std::vector<GroupState> stack_;

    // \* was just read: if the next word names no destination known here, skip its group.
    bool ignorableNext_ = false;
    std::size_t skipDepth_ = 0;  // depth of the group being skipped; 0 when none is
    bool skipReports_ = false;
    bool skipHadText_ = false;
    std::string_view skipName_;
    std::size_t skipOffset_ = 0;

    std::size_t pendingSkip_ = 0;  // fallback characters still to skip after \uN
    char32_t pendingHighSurrogate_ = 0;

    Paragraph paragraph_;
    std::vector<Field> fields_;
    std::vector<int> cellEnds_;  // \cellxN of the current table row
    bool newRunNext_ = false;    // a cell starts: its text gets a run of its own

    std::int32_t codePage_ = 1252;
    std::int32_t defaultFont_ = 0;
    std::map<int, FontEntry> fonts_;
    std::optional<int> pendingFontNumber_;
    std::string pendingFontName_;
    int pendingFontCharset_ = 0;
    std::vector<std::optional<Rgb>> colors_;
    bool colorTableSeen_ = false;
    Rgb pendingColor_;
    bool pendingColorSet_ = false;

    std::map<CharProps, std::size_t> formatIndexes_;
    bool formatCacheValid_ = false;
    CharProps cachedProps_;
    std::size_t cachedFormat_ = 0;
    bool encodingCacheValid_ = false;
    std::optional<int> cachedEncodingFont_;
    Encoding cachedEncoding_ = Encoding::Windows1252;

    bool nulNoted_ = false;
    bool codePageNoted_ = false;
    bool fontLimitNoted_ = false;
    bool colorLimitNoted_ = false;
};

ParseResult Parser::run() {
    for (;;) {
        const Token token = tokenizer_.next();
        switch (token.kind) {
            case TokenKind::End:
            case TokenKind::Truncated:
                note(DiagnosticKind::Truncated,
                     token.kind == TokenKind::End
                         ? "the file ends with " + number(stack_.size()) + " groups still open"
                         : "the file ends inside an escape or binary data",
                     token.offset);
                flushHighSurrogate();
                if (!paragraph_.runs.empty()) endParagraph(state_.paragraph);
                return std::move(result_);
            case TokenKind::WordTooLong:
                return fail("the file has a control word longer than " +
                            number(kMaxControlWordLetters) + " letters");
            case TokenKind::GroupStart:
                if (stack_.size() >= kMaxGroupDepth) {
                    return fail("the file nests groups more than " + number(kMaxGroupDepth) +
                                " levels deep");
                }
                openGroup();
                break;
            case TokenKind::GroupEnd:
                if (stack_.size() == 1) {
                    // The document's own group closes: RTF ends here.
                    flushHighSurrogate();
                    if (!paragraph_.runs.empty()) endParagraph(state_.paragraph);
                    const std::string_view rest = input_.substr(tokenizer_.position());
                    if (rest.find_first_not_of(std::string_view(" \t\r\n\0", 5)) !=
                        std::string_view::npos) {
                        note(DiagnosticKind::TrailingContent,
                             "content after the end of the document is ignored",
                             tokenizer_.position());
                    }
                    return std::move(result_);
                }
                closeGroup();
                break;
            case TokenKind::Nul:
                if (!nulNoted_) {
                    nulNoted_ = true;
                    note(DiagnosticKind::NulByte, "NUL bytes are ignored", token.offset);
                }
                break;
            default:
                if (skipDepth_ != 0) {
                    skippedContent(token);
                } else {
                    content(token);
                }
                break;
        }
    }
}

ParseResult Parser::fail(std::string message) {
    ParseResult failed;
    failed.error = std::move(message);
    return failed;
}

void Parser::note(DiagnosticKind kind, std::string message, std::size_t offset) {
    if (result_.diagnostics.size() < kMaxDiagnostics) {
        result_.diagnostics.push_back({kind, std::move(message), offset});
    } else {
        ++result_.omittedDiagnostics;
    }
}

void Parser::openGroup() {
    stack_.push_back(state_);
    pendingSkip_ = 0;
    ignorableNext_ = false;
}

void Parser::closeGroup() {
    const bool skipping = skipDepth_ != 0;
    if (skipDepth_ == stack_.size()) {
        if (skipReports_ && skipHadText_) {
            note(DiagnosticKind::SkippedText,
                 "the text of a \\" + std::string(skipName_) + " group is not shown", skipOffset_);
        }
        skipDepth_ = 0;
    }
    // A font entry may lack its closing ';'. Skipped groups inside it (\panose, \falt) end no
    // entry.
    if (!skipping && state_.destination == Destination::FontTable) commitFont();
    state_ = stack_.back();
    stack_.pop_back();
    pendingSkip_ = 0;
    ignorableNext_ = false;
    while (!fields_.empty() && fields_.back().depth > stack_.size()) fields_.pop_back();
}

void Parser::skippedContent(const Token& token) {
    const bool hasText =
        token.kind == TokenKind::HexByte ||
        (token.kind == TokenKind::Text && !std::ranges::all_of(token.text, isBlank));
    skipHadText_ = skipHadText_ || hasText;
}

void Parser::content(const Token& token) {
    const bool ignorable = ignorableNext_;
    ignorableNext_ = false;
    if (pendingSkip_ > 0 && token.kind != TokenKind::Text && token.kind != TokenKind::Binary) {
        --pendingSkip_;  // a fallback character given as an escape or a word
        return;
    }
    switch (token.kind) {
        case TokenKind::Text:
            text(token.text);
            break;
        case TokenKind::HexByte:
            byte(static_cast<std::uint8_t>(token.parameter));
            break;
        case TokenKind::ControlSymbol:
            if (token.text == "*") {
                ignorableNext_ = true;
            } else {
                controlSymbol(token.text[0]);
            }
            break;
        case TokenKind::ControlWord:
            controlWord(token, ignorable);
            break;
        default:
            break;  // binary data outside a picture holds nothing to show
    }
}

void Parser::controlSymbol(char symbol) {
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            codePoint(static_cast<unsigned char>(symbol));
            break;
        case '~':
            codePoint(0x00A0);  // no-break space
            break;
        case '-':
            codePoint(0x00AD);  // optional hyphen
            break;
        case '_':
            codePoint(0x2011);  // non-breaking hyphen
            break;
        case '\r':
        case '\n':
            if (state_.destination == Destination::Text) endParagraph(state_.paragraph);
            break;
        default:
            break;  // \| and \: belong to formulas and index entries
    }
}

void Parser::controlWord(const Token& token, bool ignorable) {
    const WordEntry* word = findWord(token.text);
    if (ignorable && (word == nullptr || !isDestination(word->action))) {
        skipGroup(token, true);
        return;
    }
    if (word == nullptr) return;  // unknown words only change what this reader does not show

    const std::int32_t parameter = token.parameter;
    const bool on = !token.hasParameter || parameter != 0;
    CharProps& chars = state_.chars;
    ParagraphFormat& paragraph = state_.paragraph;
    const auto twips = [&](int low) { return std::clamp(parameter, low, kMaxTwips); };
    switch (word->action) {
        case Action::Character:
            codePoint(static_cast<char32_t>(word->value));
            break;
        case Action::Paragraph:
            if (state_.destination != Destination::Text) break;
            if (state_.inTable) {
                codePoint('\n');  // a cell of several paragraphs stays in its row
            } else {
                endParagraph(state_.paragraph);
            }
            break;
        case Action::Cell:
            if (state_.destination == Destination::Text) endCell();
            break;
        case Action::Row:
            if (state_.destination == Destination::Text) endRow();
            break;
        case Action::Plain: {
            const int link = chars.link;
            chars = CharProps{};
            chars.link = link;
            break;
        }
        case Action::Bold:
            chars.bold = on;
            break;
        case Action::Italic:
            chars.italic = on;
            break;
        case Action::Underline:
            chars.underline = on;
            break;
        case Action::UnderlineNone:
            chars.underline = false;
            break;
        case Action::StrikeOut:
            chars.strikeOut = on;
            break;
        case Action::Hidden:
            chars.hidden = on;
            break;
        case Action::FontSize:
            chars.halfPoints =
                parameter > 0 ? std::min(parameter, kMaxHalfPoints) : kDefaultHalfPoints;
            break;
        case Action::Font:
            if (state_.destination == Destination::FontTable) {
                commitFont();
                pendingFontNumber_ = parameter;
            } else {
                chars.font = parameter;
            }
            break;
        case Action::Color:
            chars.color = parameter;
            break;
        case Action::Highlight:
            chars.highlight = parameter;
            break;
        case Action::Superscript:
            chars.verticalAlignment = VerticalAlignment::Superscript;
            break;
        case Action::Subscript:
            chars.verticalAlignment = VerticalAlignment::Subscript;
            break;
        case Action::NoSuperSub:
            chars.verticalAlignment = VerticalAlignment::Baseline;
            break;
        case Action::Up:
        case Action::Down:
            chars.verticalAlignment =
                !token.hasParameter || parameter > 0
                    ? (word->action == Action::Up ? VerticalAlignment::Superscript
                                                  : VerticalAlignment::Subscript)
                    : VerticalAlignment::Baseline;
            break;
        case Action::Pard:
            paragraph = ParagraphFormat{};
            state_.inTable = false;
            break;
        case Action::Align:
            paragraph.alignment = static_cast<Alignment>(word->value);
            break;
        case Action::LeftIndent:
            paragraph.leftIndent = twips(-kMaxTwips);
            break;
        case Action::RightIndent:
            paragraph.rightIndent = twips(-kMaxTwips);
            break;
        case Action::FirstLineIndent:
            paragraph.firstLineIndent = twips(-kMaxTwips);
            break;
        case Action::SpaceBefore:
            paragraph.spaceBefore = twips(0);
            break;
        case Action::SpaceAfter:
            paragraph.spaceAfter = twips(0);
            break;
        case Action::TabStop:
            if (paragraph.tabStops.size() < kMaxTabStops) {
                paragraph.tabStops.insert(std::ranges::upper_bound(paragraph.tabStops, twips(0)),
                                          twips(0));
            }
            break;
        case Action::InTable:
            state_.inTable = true;
            break;
        case Action::RowDefaults:
            cellEnds_.clear();
            break;
        case Action::CellBoundary:
            if (cellEnds_.size() < kMaxCells) cellEnds_.push_back(twips(0));
            break;
        case Action::CodePage:
            codePage_ = token.hasParameter ? parameter : word->value;
            encodingCacheValid_ = false;
            break;
        case Action::DefaultFont:
            defaultFont_ = parameter;
            formatCacheValid_ = false;
            encodingCacheValid_ = false;
            break;
        case Action::FontCharset:
            if (state_.destination == Destination::FontTable) pendingFontCharset_ = parameter;
            break;
        case Action::Red:
        case Action::Green:
        case Action::Blue:
            if (state_.destination == Destination::ColorTable) {
                const auto component = static_cast<std::uint8_t>(std::clamp(parameter, 0, 255));
                (word->action == Action::Red     ? pendingColor_.red
                 : word->action == Action::Green ? pendingColor_.green
                                                 : pendingColor_.blue) = component;
                pendingColorSet_ = true;
            }
            break;
        case Action::UnicodeSkip:
            state_.unicodeSkip = token.hasParameter ? std::max(parameter, 0) : 1;
            break;
        case Action::Unicode:
            if (token.hasParameter) unicode(parameter);
            break;
        default:
            destination(*word, token);
            break;
    }
}

void Parser::skipGroup(const Token& token, bool reportText) {
    skipDepth_ = stack_.size();
    skipReports_ = reportText;
    skipHadText_ = false;
    skipName_ = token.text;
    skipOffset_ = token.offset;
}

void Parser::destination(const WordEntry& word, const Token& token) {
    switch (word.action) {
        case Action::FontTable:
            state_.destination = Destination::FontTable;
            break;
        case Action::ColorTable:
            // Only the first colour table counts, as the runs refer to its indexes.
            if (colorTableSeen_) {
                skipGroup(token, false);
            } else {
                colorTableSeen_ = true;
                state_.destination = Destination::ColorTable;
            }
            break;
        case Action::Field:
            fields_.push_back(Field{.depth = stack_.size(), .instruction = {}});
            break;
        case Action::FieldInstruction:
            if (fields_.empty()) {
                skipGroup(token, false);
            } else {
                state_.destination = Destination::FieldInstruction;
            }
            break;
        case Action::FieldResult: {
            if (fields_.empty() || state_.destination != Destination::Text) break;
            Field& field = fields_.back();
            // An instruction cut at the cap may hold a cut address, which must not be opened.
            if (!field.resultSeen && field.instruction.size() < kMaxInstructionBytes) {
                std::string target = hyperlinkTarget(field.instruction);
                if (!target.empty()) {
                    std::vector<std::string>& links = result_.document.links;
                    links.push_back(std::move(target));
                    field.link = static_cast<int>(links.size() - 1);
                }
            }
            field.resultSeen = true;
            if (field.link >= 0) state_.chars.link = field.link;
            break;
        }
        case Action::Picture:
            if (state_.destination == Destination::Text) {
                runText() += "[picture]";
                note(DiagnosticKind::Picture, "a picture is shown as a placeholder", token.offset);
            }
            skipGroup(token, false);
            break;
        case Action::SkipQuietly:
            skipGroup(token, false);
            break;
        case Action::SkipWithReport:
            skipGroup(token, true);
            break;
        default:
            break;  // ShowGroup: its text is shown like any other
    }
}

void Parser::text(std::string_view bytes) {
    const std::size_t skipped = std::min(pendingSkip_, bytes.size());
    pendingSkip_ -= skipped;
    bytes.remove_prefix(skipped);
    const bool fastPath =
        state_.destination == Destination::Text && !state_.chars.hidden &&
        (encoding() == Encoding::Windows1252 || encoding() == Encoding::Unsupported);
    while (!bytes.empty()) {
        std::size_t plain = 0;
        if (fastPath) {
            while (plain < bytes.size() &&
                   ((bytes[plain] >= 0x20 && bytes[plain] < 0x7F) || bytes[plain] == '\t')) {
                ++plain;
            }
        }
        if (plain > 0) {
            flushHighSurrogate();
            runText().append(bytes.substr(0, plain));
            bytes.remove_prefix(plain);
        } else {
            byte(static_cast<std::uint8_t>(bytes.front()));
            bytes.remove_prefix(1);
        }
    }
}

void Parser::byte(std::uint8_t value) {
    const Encoding current = encoding();
    if (current == Encoding::Unsupported && value >= 0x80 && !codePageNoted_) {
        codePageNoted_ = true;
        note(DiagnosticKind::UnsupportedCodePage,
             "characters outside code page 1252 are shown as U+FFFD", tokenizer_.position());
    }
    codePoint(detail::decodeByte(current, value));
}

void Parser::unicode(std::int32_t value) {
    // RTF writes code points above 32767 as negative 16-bit numbers.
    const std::int64_t widened = value < 0 ? std::int64_t{value} + 0x10000 : value;
    codePoint(widened < 0 || widened > 0x10FFFF ? detail::kReplacementCharacter
                                                : static_cast<char32_t>(widened));
    pendingSkip_ = static_cast<std::size_t>(state_.unicodeSkip);
}

void Parser::codePoint(char32_t value) {
    if (value >= 0xDC00 && value <= 0xDFFF) {
        if (pendingHighSurrogate_ == 0) {
            emit(detail::kReplacementCharacter);
            return;
        }
        value = 0x10000 + ((pendingHighSurrogate_ - 0xD800) << 10) + (value - 0xDC00);
        pendingHighSurrogate_ = 0;
    } else {
        flushHighSurrogate();
        if (value >= 0xD800 && value <= 0xDBFF) {
            pendingHighSurrogate_ = value;
            return;
        }
    }
    emit(value);
}

void Parser::flushHighSurrogate() {
    if (pendingHighSurrogate_ == 0) return;
    pendingHighSurrogate_ = 0;
    emit(detail::kReplacementCharacter);
}

void Parser::emit(char32_t value) {
    switch (state_.destination) {
        case Destination::Text:
            if (state_.chars.hidden || value == 0x7F ||
                (value < 0x20 && value != '\t' && value != '\n')) {
                return;
            }
            detail::appendUtf8(runText(), value);
            break;
        case Destination::FieldInstruction:
            if (!fields_.empty() && fields_.back().instruction.size() < kMaxInstructionBytes) {
                detail::appendUtf8(fields_.back().instruction, value);
            }
            break;
        case Destination::FontTable:
            if (value == ';') {
                commitFont();
            } else if (value >= 0x20 && pendingFontName_.size() < kMaxFontNameBytes) {
                detail::appendUtf8(pendingFontName_, value);
            }
            break;
        case Destination::ColorTable:
            if (value == ';') commitColor();
            break;
    }
}

std::string& Parser::runText() {
    const std::size_t format = formatIndex();
    std::vector<Run>& runs = paragraph_.runs;
    if (runs.empty() || runs.back().format != format || newRunNext_) runs.push_back({{}, format});
    newRunNext_ = false;
    return runs.back().text;
}

std::size_t Parser::formatIndex() {
    if (formatCacheValid_ && cachedProps_ == state_.chars) return cachedFormat_;
    // Props that look the same share one format: indexes out of range mean the default.
    CharProps key = state_.chars;
    const FontEntry* font = findFont(key.font);
    key.font = font != nullptr && font->charset != kSymbolCharset
                   ? std::optional<int>(key.font.value_or(defaultFont_))
                   : std::nullopt;
    const auto validColor = [&](int index) {
        return index > 0 && static_cast<std::size_t>(index) < colors_.size() && colors_[index]
                   ? index
                   : 0;
    };
    key.color = validColor(key.color);
    key.highlight = validColor(key.highlight);
    key.hidden = false;
    const auto [entry, added] = formatIndexes_.try_emplace(key, result_.document.formats.size());
    if (added) result_.document.formats.push_back(makeFormat(key));
    cachedProps_ = state_.chars;
    cachedFormat_ = entry->second;
    formatCacheValid_ = true;
    return cachedFormat_;
}

CharFormat Parser::makeFormat(const CharProps& props) const {
    CharFormat format;
    format.bold = props.bold;
    format.italic = props.italic;
    format.underline = props.underline;
    format.strikeOut = props.strikeOut;
    format.halfPoints = props.halfPoints;
    if (props.font) format.font = fonts_.at(*props.font).name;
    if (props.color != 0) format.color = colors_[props.color];
    if (props.highlight != 0) format.highlight = colors_[props.highlight];
    format.verticalAlignment = props.verticalAlignment;
    if (props.link >= 0) format.link = static_cast<std::size_t>(props.link);
    return format;
}

const FontEntry* Parser::findFont(std::optional<int> number) const {
    const auto found = fonts_.find(number.value_or(defaultFont_));
    return found == fonts_.end() ? nullptr : &found->second;
}

Encoding Parser::encoding() {
    if (encodingCacheValid_ && cachedEncodingFont_ == state_.chars.font) return cachedEncoding_;
    const FontEntry* font = findFont(state_.chars.font);
    if (font != nullptr && font->charset == kSymbolCharset) {
        cachedEncoding_ = startsWithIgnoringCase(result_.document.fonts[font->name], "wingdings")
                              ? Encoding::Wingdings
                              : Encoding::Symbol;
    } else if ((font == nullptr || font->charset == 0 || font->charset == 1) && codePage_ == 1252) {
        cachedEncoding_ = Encoding::Windows1252;  // charset 0 and 1 follow the document's code page
    } else {
        cachedEncoding_ = Encoding::Unsupported;
    }
    cachedEncodingFont_ = state_.chars.font;
    encodingCacheValid_ = true;
    return cachedEncoding_;
}

void Parser::endParagraph(ParagraphFormat format) {
    flushHighSurrogate();
    paragraph_.format = std::move(format);
    result_.document.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = Paragraph{};
}

void Parser::endCell() {
    // The tab is written even inside hidden text: it is what parts the cells.
    flushHighSurrogate();
    runText() += '\t';
    std::vector<std::size_t>& cells = paragraph_.cellFirstRuns;
    if (cells.size() >= kMaxCells) return;
    if (cells.empty()) cells.push_back(0);
    cells.push_back(paragraph_.runs.size());
    newRunNext_ = true;
}

void Parser::endRow() {
    std::vector<std::size_t>& cells = paragraph_.cellFirstRuns;
    std::vector<Run>& runs = paragraph_.runs;
    if (!cells.empty() && !runs.empty() && cells.back() == runs.size() &&
        runs.back().text.ends_with('\t')) {
        // The row's last \cell began no further cell, and its tab parts the cell from nothing.
        cells.pop_back();
        runs.back().text.pop_back();
        if (runs.back().text.empty()) runs.pop_back();
    }
    if (!cells.empty()) paragraph_.cellEnds = cellEnds_;
    endParagraph(state_.paragraph);
}

void Parser::commitFont() {
    const std::string_view blanks = " \t";
    std::string& name = pendingFontName_;
    name.erase(0, std::min(name.find_first_not_of(blanks), name.size()));
    name.erase(std::min(name.find_last_not_of(blanks) + 1, name.size()));
    if (pendingFontNumber_ && !name.empty()) {
        std::vector<std::string>& names = result_.document.fonts;
        if (fonts_.size() < kMaxTableEntries) {
            const FontEntry entry{names.size(), pendingFontCharset_};
            if (fonts_.try_emplace(*pendingFontNumber_, entry).second)
                names.push_back(std::move(name));
            formatCacheValid_ = false;
            encodingCacheValid_ = false;
        } else if (!fontLimitNoted_) {
            fontLimitNoted_ = true;
            note(DiagnosticKind::TableLimit,
                 "fonts past the first " + number(kMaxTableEntries) + " are ignored",
                 tokenizer_.position());
        }
    }
    pendingFontNumber_.reset();
    pendingFontName_.clear();
    pendingFontCharset_ = 0;
}

void Parser::commitColor() {
    if (colors_.size() < kMaxTableEntries) {
        colors_.push_back(pendingColorSet_ ? std::optional<Rgb>(pendingColor_) : std::nullopt);
        formatCacheValid_ = false;
    } else if (!colorLimitNoted_) {
        colorLimitNoted_ = true;
        note(DiagnosticKind::TableLimit,
             "colours past the first " + number(kMaxTableEntries) + " are ignored",
             tokenizer_.position());
    }
    pendingColor_ = Rgb{};
    pendingColorSet_ = false;
}

}  // namespace

bool losesText(DiagnosticKind kind) {
    switch (kind) {
        case DiagnosticKind::SkippedText:
        case DiagnosticKind::UnsupportedCodePage:
        case DiagnosticKind::Truncated:
        case DiagnosticKind::TrailingContent:
            return true;
        case DiagnosticKind::Picture:
        case DiagnosticKind::NulByte:
        case DiagnosticKind::TableLimit:
            return false;
    }
    return true;
}

ParseResult parse(std::string_view bytes) {
    if (bytes.empty()) {
        ParseResult empty;
        empty.error = "the file is empty";
        return empty;
    }
    const std::size_t start = std::min(bytes.find_first_not_of(" \t\r\n"), bytes.size());
    if (!bytes.substr(start).starts_with("{\\rtf")) {
        ParseResult notRtf;
        notRtf.error = "the file is not a Rich Text Format document";
        return notRtf;
    }
    return Parser(bytes, start).run();
}

}  // namespace moravik::rtf

#pragma once

// The parser's own state, shared by the units that read the parts of a document: parser.cpp
// (groups and the words of the document), destinations.cpp (fields, pictures and skipped
// groups) and parser_text.cpp (characters and where they go).

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "color_table.h"
#include "control_words.h"
#include "diagnostics.h"
#include "document_writer.h"
#include "fields.h"
#include "font_table.h"
#include "format_table.h"
#include "moravik/rtf/parser.h"
#include "paragraph_words.h"
#include "picture_reader.h"
#include "table_words.h"
#include "text_decoder.h"
#include "text_rules.h"
#include "tokenizer.h"

namespace moravik::rtf::detail {

inline constexpr std::size_t kMaxInstructionBytes = 4096;
// Where the text of the current group goes.
enum class Destination : std::uint8_t { Text, FontTable, ColorTable, FieldInstruction, Picture };

struct GroupState {
    Destination destination = Destination::Text;
    CharProps chars;
    ParagraphProps paragraph;
    std::int32_t unicodeSkip = 1;  // \ucN: how many fallback characters follow each \uN
};

struct Field {
    std::size_t depth = 0;  // the depth of the group that holds \field
    std::string instruction;
    // The field's meaning is looked up at its first \fldrslt, and all its results share it.
    bool resultSeen = false;
    std::optional<std::size_t> link;
    std::optional<SymbolField> symbol;
};

// A group whose content is read past; depth is 0 when there is none.
struct SkippedGroup {
    std::size_t depth = 0;
    bool reportsText = false;
    bool hadText = false;
    std::string_view name;
    std::size_t offset = 0;
};

class Parser {
public:
    Parser(std::string_view input, std::size_t start, std::stop_token stop)
        : input_(input), tokenizer_(input, start), stop_(std::move(stop)) {}

    ParseResult run();

private:
    bool handle(const Token& token);
    ParseResult finish();
    void openGroup();
    void closeGroup();
    void endPicture();
    void endField(const Field& field);
    void endDocument();
    void content(const Token& token);
    void skippedContent(const Token& token);
    void controlSymbol(char symbol);
    void controlWord(const Token& token, bool ignorable);
    void skipGroup(const Token& token, bool reportText);
    void destination(const WordEntry& word, const Token& token);
    void fieldResult(const Token& token);
    void characterWord(const WordEntry& word, const Token& token);
    void paragraphWord(const WordEntry& word, const Token& token);
    void pictureWord(const WordEntry& word, const Token& token);
    void documentWord(const WordEntry& word, const Token& token);
    void text(std::string_view bytes);
    void byte(std::uint8_t value);
    void unicode(std::int32_t value);
    void codePoint(char32_t value);
    void emit(char32_t value);
    void flushHighSurrogate();
    void endParagraph();
    std::size_t format() { return formats_.indexOf(state_.chars); }
    TextDecoder& decoder();
    void tablesChanged();
    void endFontEntry();
    char32_t symbolCharacter(const SymbolField& field);

    std::string_view input_;
    Tokenizer tokenizer_;
    std::stop_token stop_;
    std::string error_;
    Diagnostics diagnostics_;
    bool truncated_ = false;

    GroupState state_;
    std::vector<GroupState> stack_;
    bool ignorableNext_ = false;  // \* was just read
    SkippedGroup skip_;
    std::size_t pendingSkip_ = 0;  // fallback characters still to skip after \uN
    char32_t pendingHighSurrogate_ = 0;

    FontTable fonts_;
    ColorTable colors_;
    FormatTable formats_{fonts_, colors_};
    TextDecoder decoder_;
    bool colorTableSeen_ = false;
    int defaultTab_ = 720;

    DocumentWriter writer_{formats_};
    TableRows tables_;
    std::vector<Field> fields_;
    std::optional<PictureReader> picture_;
    std::size_t pictureDepth_ = 0;
    // The depth of the list number or note group being read; 0 when there is none.
    std::size_t listTextDepth_ = 0;
    DocumentWriter::Mark listTextStart_;
    std::size_t noteDepth_ = 0;
    int notesMarked_ = 0;  // the notes whose mark (\chftn) the text has shown
};
}  // namespace moravik::rtf::detail

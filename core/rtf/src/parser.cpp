#include "moravik/rtf/parser.h"

#include <algorithm>

#include "character_words.h"
#include "decimal.h"
#include "parser_internal.h"

namespace moravik::rtf {
namespace detail {
namespace {

// How many tokens are read between two looks at the stop request.
constexpr std::size_t kTokensPerStopCheck = 1 << 16;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

ParseResult Parser::run() {
    for (std::size_t count = 1;; ++count) {
        if (count % kTokensPerStopCheck == 0 && stop_.stop_requested()) {
            error_ = "the reading was cancelled";
            break;
        }
        if (!handle(tokenizer_.next())) break;
        if (writer_.full()) {
            diagnostics_.note(DiagnosticKind::DocumentCut,
                              "the document is too large to show whole", tokenizer_.position());
            break;
        }
    }
    return finish();
}

// Returns false where the reading ends.
bool Parser::handle(const Token& token) {
    switch (token.kind) {
        case TokenKind::End:
        case TokenKind::Truncated:
            diagnostics_.note(
                DiagnosticKind::Truncated,
                token.kind == TokenKind::End
                    ? "the file ends with " + decimal(stack_.size()) + " groups still open"
                    : "the file ends inside an escape or binary data",
                token.offset);
            truncated_ = true;
            return false;
        case TokenKind::WordTooLong:
            error_ = "the file has a control word longer than " + decimal(kMaxControlWordLetters) +
                     " letters";
            return false;
        case TokenKind::GroupStart:
            if (stack_.size() >= kMaxGroupDepth) {
                error_ =
                    "the file nests groups more than " + decimal(kMaxGroupDepth) + " levels deep";
                return false;
            }
            openGroup();
            return true;
        case TokenKind::GroupEnd:
            if (stack_.size() == 1) {
                endDocument();
                return false;
            }
            closeGroup();
            return true;
        case TokenKind::Nul:
            diagnostics_.noteOnce(DiagnosticKind::NulByte, "NUL bytes are ignored", token.offset);
            return true;
        default:
            if (skip_.depth != 0) {
                skippedContent(token);
            } else {
                content(token);
            }
            return true;
    }
}

ParseResult Parser::finish() {
    ParseResult result;
    if (!error_.empty()) {
        result.error = std::move(error_);
        return result;
    }
    flushHighSurrogate();
    writer_.finish(result.document, state_.paragraph.format, truncated_);
    result.document.formats = formats_.takeFormats();
    result.document.fonts = fonts_.takeNames();
    result.document.defaultTab = defaultTab_;
    diagnostics_.moveInto(result);
    return result;
}

void Parser::openGroup() {
    stack_.push_back(state_);
    pendingSkip_ = 0;
    ignorableNext_ = false;
    decoder_.reset();
}

void Parser::closeGroup() {
    const bool skipping = skip_.depth != 0;
    if (skip_.depth == stack_.size()) {
        if (skip_.reportsText && skip_.hadText) {
            diagnostics_.note(DiagnosticKind::SkippedText,
                              "the text of a \\" + std::string(skip_.name) + " group is not shown",
                              skip_.offset);
        }
        skip_ = SkippedGroup{};
    }
    // A font entry may lack its closing ';'. Skipped groups inside it (\panose, \falt) end no
    // entry.
    if (!skipping && state_.destination == Destination::FontTable) endFontEntry();
    if (picture_ && pictureDepth_ == stack_.size()) endPicture();
    if (listTextDepth_ == stack_.size()) {
        flushHighSurrogate();
        writer_.dropBlankSince(listTextStart_);
        listTextDepth_ = 0;
    }
    if (noteDepth_ == stack_.size()) {
        flushHighSurrogate();
        writer_.endNote(state_.paragraph.format);
        noteDepth_ = 0;
    }
    state_ = stack_.back();
    stack_.pop_back();
    pendingSkip_ = 0;
    ignorableNext_ = false;
    decoder_.reset();
    while (!fields_.empty() && fields_.back().depth > stack_.size()) {
        endField(fields_.back());
        fields_.pop_back();
    }
}

void Parser::endDocument() {
    // The document's own group closes: RTF ends here.
    const std::string_view rest = input_.substr(tokenizer_.position());
    if (rest.find_first_not_of(std::string_view(" \t\r\n\0", 5)) != std::string_view::npos) {
        diagnostics_.note(DiagnosticKind::TrailingContent,
                          "content after the end of the document is ignored",
                          tokenizer_.position());
    }
}

void Parser::skippedContent(const Token& token) {
    const bool hasText =
        token.kind == TokenKind::HexByte ||
        (token.kind == TokenKind::Text && !std::ranges::all_of(token.text, isBlank));
    skip_.hadText = skip_.hadText || hasText;
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
        case TokenKind::Binary:
            if (state_.destination == Destination::Picture) picture_->appendBinary(token.text);
            break;
        default:
            break;
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
            if (state_.destination == Destination::Text) endParagraph();
            break;
        default:
            break;  // \| and \: belong to formulas and index entries
    }
}

void Parser::controlWord(const Token& token, bool ignorable) {
    const WordEntry* word = findWord(token.text);
    const Topic topic = word != nullptr ? topicOf(word->action) : Topic::Document;
    if (ignorable && (word == nullptr || topic != Topic::Destination)) {
        skipGroup(token, true);
        return;
    }
    if (word == nullptr) return;  // unknown words only change what this reader does not show
    switch (topic) {
        case Topic::Destination:
            destination(*word, token);
            break;
        case Topic::Character:
            characterWord(*word, token);
            break;
        case Topic::Paragraph:
            paragraphWord(*word, token);
            break;
        case Topic::Table:
            if (state_.destination == Destination::Text ||
                (word->action != Action::Cell && word->action != Action::Row)) {
                flushHighSurrogate();
                tables_.apply(*word, token, state_.paragraph, format(), colors_, writer_);
            }
            break;
        case Topic::Picture:
            pictureWord(*word, token);
            break;
        case Topic::Document:
            documentWord(*word, token);
            break;
    }
}

void Parser::characterWord(const WordEntry& word, const Token& token) {
    switch (word.action) {
        case Action::Character:
            codePoint(static_cast<char32_t>(word.value));
            break;
        case Action::LineBreak:
            codePoint('\n');
            break;
        case Action::NoteNumber:
            // The mark in the text counts the notes; the note repeats its own mark.
            if (state_.destination != Destination::Text) break;
            if (!writer_.inNote()) ++notesMarked_;
            for (const char digit : decimal(std::max(notesMarked_, 1))) codePoint(digit);
            break;
        case Action::Unicode:
            if (token.hasParameter) unicode(token.parameter);
            break;
        case Action::UnicodeSkip:
            state_.unicodeSkip = token.hasParameter ? std::max(token.parameter, 0) : 1;
            break;
        case Action::Font:
            if (state_.destination == Destination::FontTable) {
                endFontEntry();
                fonts_.beginEntry(token.parameter);
                break;
            }
            [[fallthrough]];
        default:
            applyCharacterFormat(word, token, state_.chars);
            break;
    }
}

void Parser::paragraphWord(const WordEntry& word, const Token& token) {
    if (word.action != Action::Paragraph) {
        applyParagraphFormat(word, token, state_.paragraph);
    } else if (state_.destination == Destination::Text) {
        if (state_.paragraph.inTable || tables_.rowOpen()) {
            codePoint('\n');  // a cell of several paragraphs stays in its row
        } else {
            endParagraph();
        }
    }
}

void Parser::documentWord(const WordEntry& word, const Token& token) {
    const std::int32_t parameter = token.parameter;
    const bool inFontTable = state_.destination == Destination::FontTable;
    const bool inColorTable = state_.destination == Destination::ColorTable;
    switch (word.action) {
        case Action::FontCharset:
            if (inFontTable) fonts_.setCharset(parameter);
            break;
        case Action::FontCodePage:
            if (inFontTable) fonts_.setCodePage(parameter);
            break;
        case Action::Red:
        case Action::Green:
        case Action::Blue:
            if (inColorTable) {
                colors_.setComponent(word.action == Action::Red     ? ColorComponent::Red
                                     : word.action == Action::Green ? ColorComponent::Green
                                                                    : ColorComponent::Blue,
                                     parameter);
            }
            break;
        case Action::CodePage:
            decoder_.setDocumentCodePage(token.hasParameter ? parameter : word.value);
            break;
        case Action::DefaultFont:
            formats_.setDefaultFont(parameter);
            decoder_.invalidate();
            break;
        case Action::DefaultTab:
            if (parameter > 0) defaultTab_ = std::min(parameter, kMaxTwips);
            break;
        default:
            break;
    }
}

void Parser::endParagraph() {
    flushHighSurrogate();
    writer_.endParagraph(state_.paragraph.format);
}

void Parser::tablesChanged() {
    formats_.tablesChanged();
    decoder_.invalidate();
}

void Parser::endFontEntry() {
    if (!fonts_.endEntry()) {
        diagnostics_.noteOnce(DiagnosticKind::TableLimit,
                              "fonts past the first " + decimal(kMaxTableEntries) + " are ignored",
                              tokenizer_.position());
    }
    tablesChanged();
}

}  // namespace detail

bool losesText(DiagnosticKind kind) {
    switch (kind) {
        case DiagnosticKind::SkippedText:
        case DiagnosticKind::UnsupportedCodePage:
        case DiagnosticKind::Truncated:
        case DiagnosticKind::TrailingContent:
        case DiagnosticKind::DocumentCut:
            return true;
        case DiagnosticKind::Picture:
        case DiagnosticKind::NulByte:
        case DiagnosticKind::TableLimit:
            return false;
    }
    return true;
}

ParseResult parse(std::string_view bytes, std::stop_token stop) {
    ParseResult refused;
    const std::size_t afterMark =
        bytes.starts_with(detail::kUtf8ByteOrderMark) ? detail::kUtf8ByteOrderMark.size() : 0;
    if (bytes.size() == afterMark) {
        refused.error = "the file is empty";
        return refused;
    }
    const std::size_t start = std::min(bytes.find_first_not_of(" \t\r\n", afterMark), bytes.size());
    if (!bytes.substr(start).starts_with("{\\rtf")) {
        refused.error = "the file is not a Rich Text Format document";
        return refused;
    }
    return detail::Parser(bytes, start, std::move(stop)).run();
}

}  // namespace moravik::rtf
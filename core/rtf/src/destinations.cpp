#include <utility>

#include "parser_internal.h"

namespace moravik::rtf::detail {

void Parser::endPicture() {
    auto shown = picture_->finish();
    picture_.reset();
    if (auto* picture = std::get_if<PictureReader::Shown>(&shown)) {
        writer_.appendPicture(format(), std::move(picture->picture), picture->pixels);
    } else {
        std::string& reason = std::get<std::string>(shown);
        diagnostics_.note(DiagnosticKind::Picture, reason, tokenizer_.position());
        Picture placeholder;
        placeholder.leftOut = std::move(reason);
        writer_.appendPicture(format(), std::move(placeholder), 0);
    }
}

// A SYMBOL field shows its character even when it has no result.
void Parser::endField(const Field& field) {
    if (field.resultSeen || state_.destination != Destination::Text) return;
    if (const std::optional<SymbolField> symbol = symbolField(field.instruction)) {
        codePoint(symbolCharacter(*symbol));
    }
}

void Parser::skipGroup(const Token& token, bool reportText) {
    skip_ = SkippedGroup{.depth = stack_.size(),
                         .reportsText = reportText,
                         .hadText = false,
                         .name = token.text,
                         .offset = token.offset};
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
            fields_.push_back(Field{});
            fields_.back().depth = stack_.size();
            break;
        case Action::FieldInstruction:
            if (fields_.empty()) {
                skipGroup(token, false);
            } else {
                state_.destination = Destination::FieldInstruction;
            }
            break;
        case Action::FieldResult:
            fieldResult(token);
            break;
        case Action::Picture:
            if (state_.destination != Destination::Text || picture_) {
                skipGroup(token, false);
                break;
            }
            picture_.emplace();
            pictureDepth_ = stack_.size();
            state_.destination = Destination::Picture;
            break;
        case Action::ListText:
            if (state_.destination == Destination::Text && listTextDepth_ == 0) {
                flushHighSurrogate();
                listTextDepth_ = stack_.size();
                listTextStart_ = writer_.mark();
            }
            break;
        case Action::Footnote:
            if (state_.destination != Destination::Text || writer_.inNote()) {
                skipGroup(token, true);
                break;
            }
            flushHighSurrogate();
            writer_.beginNote();
            noteDepth_ = stack_.size();
            break;
        case Action::SkipQuietly:
        case Action::SkipWithReport:
            skipGroup(token, word.action == Action::SkipWithReport);
            break;
        default:
            break;  // ShowGroup: its text is shown like any other
    }
}

void Parser::fieldResult(const Token& token) {
    if (fields_.empty() || state_.destination != Destination::Text) return;
    Field& field = fields_.back();
    // An instruction cut at the cap may hold a cut address, which must not be opened.
    if (!field.resultSeen && field.instruction.size() < kMaxInstructionBytes) {
        std::string target = hyperlinkTarget(field.instruction);
        if (!target.empty()) field.link = writer_.addLink(std::move(target));
        field.symbol = symbolField(field.instruction);
    }
    field.resultSeen = true;
    if (field.link) state_.chars.link = static_cast<int>(*field.link);
    if (field.symbol) {
        // The result repeats the symbol in the symbol font, or holds nothing at all.
        codePoint(symbolCharacter(*field.symbol));
        skipGroup(token, false);
    }
}

void Parser::pictureWord(const WordEntry& word, const Token& token) {
    if (state_.destination != Destination::Picture) return;
    switch (word.action) {
        case Action::PictureKind:
            picture_->setKind(word.value);
            break;
        case Action::PictureWidth:
            picture_->setWidth(token.parameter);
            break;
        case Action::PictureHeight:
            picture_->setHeight(token.parameter);
            break;
        case Action::PictureScaleX:
            picture_->setScaleX(token.parameter);
            break;
        case Action::PictureScaleY:
            picture_->setScaleY(token.parameter);
            break;
        default:
            break;
    }
}

}  // namespace moravik::rtf::detail

#include "document_writer.h"

#include <algorithm>
#include <iterator>

#include "encoding.h"
#include "moravik/rtf/parser.h"

namespace moravik::rtf::detail {
namespace {

// The last whole UTF-8 character in the first `limit` bytes of text ends at the returned size.
std::size_t wholeCharacters(std::string_view text, std::size_t limit) {
    if (limit >= text.size()) return text.size();
    while (limit > 0 && (static_cast<unsigned char>(text[limit]) & 0xC0) == 0x80) --limit;
    return limit;
}

}  // namespace

bool DocumentWriter::charge(std::size_t cost) {
    if (full_ || cost > kMaxDocumentCost - cost_) {
        full_ = true;
        return false;
    }
    cost_ += cost;
    return true;
}

bool DocumentWriter::startsNewRun(std::size_t format) const {
    const std::vector<Run>& runs = paragraph_.runs;
    return runs.empty() || runs.back().format != format || runs.back().picture || newRunNext_;
}

bool DocumentWriter::chargeRun(std::size_t format) {
    const std::size_t face = formats_.faceOf(format);
    if (face >= faceCharged_.size()) faceCharged_.resize(face + 1);
    if (!charge(DocumentCost::kRun + (faceCharged_[face] ? 0 : DocumentCost::kFontFace))) {
        return false;
    }
    faceCharged_[face] = true;
    return true;
}

void DocumentWriter::appendText(std::size_t format, std::string_view utf8) {
    if (utf8.empty()) return;
    const bool newRun = startsNewRun(format);
    if (newRun && !chargeRun(format)) return;
    const std::size_t kept =
        wholeCharacters(utf8, (kMaxDocumentCost - cost_) / DocumentCost::kTextByte);
    if (kept < utf8.size()) full_ = true;
    if (kept == 0) return;
    cost_ += kept * DocumentCost::kTextByte;
    if (newRun) paragraph_.runs.push_back({{}, format, std::nullopt});
    newRunNext_ = false;
    paragraph_.runs.back().text.append(utf8.substr(0, kept));
}

void DocumentWriter::appendCharacter(std::size_t format, char32_t character) {
    std::string utf8;
    appendUtf8(utf8, character);
    appendText(format, utf8);
}

void DocumentWriter::appendPicture(std::size_t format, Picture picture, std::size_t pixels) {
    if (!chargeRun(format) ||
        !charge(DocumentCost::kPicture + pixels / DocumentCost::kPicturePixels)) {
        return;
    }
    paragraph_.runs.push_back({std::string(kPictureText), format, pictures_.size()});
    pictures_.push_back(std::move(picture));
}

std::optional<std::size_t> DocumentWriter::addLink(std::string address) {
    if (!charge(address.size() * DocumentCost::kTextByte)) return std::nullopt;
    links_.push_back(std::move(address));
    return links_.size() - 1;
}

void DocumentWriter::endParagraph(const ParagraphFormat& format) {
    if (!charge(DocumentCost::kParagraph)) return;
    paragraph_.format = format;
    paragraphs_.push_back(std::move(paragraph_));
    paragraph_ = Paragraph{};
    newRunNext_ = false;
}

void DocumentWriter::endCell(std::size_t format) {
    // A cell's last paragraph ends at \cell: a \par before it would add an empty line.
    std::vector<Run>& runs = paragraph_.runs;
    const std::vector<std::size_t>& starts = paragraph_.cellFirstRuns;
    if (!runs.empty() && !runs.back().picture && runs.back().text.ends_with('\n') &&
        (starts.empty() || starts.back() < runs.size())) {
        runs.back().text.pop_back();
        if (runs.back().text.empty()) runs.pop_back();
    }
    // The tab is written even inside hidden text: it is what parts the cells.
    appendText(format, "\t");
    std::vector<std::size_t>& cells = paragraph_.cellFirstRuns;
    if (full_ || cells.size() > kMaxCells || !charge(DocumentCost::kTableCell)) return;
    if (cells.empty()) cells.push_back(0);
    cells.push_back(paragraph_.runs.size());
    newRunNext_ = true;
}

std::size_t DocumentWriter::cellsInRow() const {
    // cellFirstRuns also marks where the cell being written begins.
    return paragraph_.cellFirstRuns.empty() ? 0 : paragraph_.cellFirstRuns.size() - 1;
}

void DocumentWriter::endRow(const ParagraphFormat& format, const std::vector<TableCell>& rowCells) {
    std::vector<std::size_t>& cells = paragraph_.cellFirstRuns;
    std::vector<Run>& runs = paragraph_.runs;
    if (!cells.empty() && !runs.empty() && cells.back() == runs.size() &&
        runs.back().text.ends_with('\t')) {
        // The row's last \cell began no further cell, and its tab parts the cell from nothing.
        cells.pop_back();
        runs.back().text.pop_back();
        if (runs.back().text.empty()) runs.pop_back();
    }
    if (!cells.empty()) paragraph_.cells = rowCells;
    endParagraph(format);
}

DocumentWriter::Mark DocumentWriter::mark() const {
    const std::vector<Run>& runs = paragraph_.runs;
    return {paragraphs_.size(), runs.size(), runs.empty() ? 0 : runs.back().text.size(),
            newRunNext_};
}

void DocumentWriter::dropBlankSince(const Mark& mark) {
    std::vector<Run>& runs = paragraph_.runs;
    const std::vector<std::size_t>& cells = paragraph_.cellFirstRuns;
    if (paragraphs_.size() != mark.paragraphs || runs.size() < mark.runs ||
        (mark.runs > 0 && runs[mark.runs - 1].text.size() < mark.bytes) ||
        (!cells.empty() && cells.back() > mark.runs))
        return;
    for (std::size_t i = mark.runs == 0 ? 0 : mark.runs - 1; i < runs.size(); ++i) {
        const std::string_view text =
            std::string_view(runs[i].text).substr(i + 1 == mark.runs ? mark.bytes : 0);
        if (runs[i].picture || text.find_first_not_of(" \t") != std::string_view::npos) return;
    }
    runs.resize(mark.runs);
    newRunNext_ = mark.newRunNext;
    if (runs.empty()) return;
    runs.back().text.resize(mark.bytes);
    if (runs.back().text.empty()) runs.pop_back();
}

void DocumentWriter::swapWith(Aside& aside) {
    std::swap(paragraphs_, aside.paragraphs);
    std::swap(paragraph_, aside.paragraph);
    std::swap(newRunNext_, aside.newRunNext);
}

void DocumentWriter::beginNote() {
    if (note_) return;
    note_ = Aside{};
    swapWith(*note_);
}

void DocumentWriter::endNote(const ParagraphFormat& openParagraph) {
    if (!note_) return;
    if (!paragraph_.runs.empty()) endParagraph(openParagraph);
    swapWith(*note_);
    std::ranges::move(note_->paragraphs, std::back_inserter(notes_));
    note_.reset();
}

void DocumentWriter::finish(Document& document, const ParagraphFormat& openParagraph,
                            bool truncated) {
    if (note_) endNote(openParagraph);
    // The paragraph that reached the limit is shown as far as it was read.
    if (!paragraph_.runs.empty()) {
        paragraph_.format = openParagraph;
        paragraphs_.push_back(std::move(paragraph_));
    }
    std::ranges::move(notes_, std::back_inserter(paragraphs_));
    document.cut = full_;
    document.truncated = truncated && !full_;
    document.paragraphs = std::move(paragraphs_);
    document.links = std::move(links_);
    document.pictures = std::move(pictures_);
}

}  // namespace moravik::rtf::detail

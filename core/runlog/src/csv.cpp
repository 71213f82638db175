#include "moravik/runlog/csv.h"

#include <algorithm>
#include <charconv>

#include "moravik/whole_text.h"

namespace moravik::runlog {
namespace {

constexpr std::size_t chunkBytes = 64 * 1024;
constexpr char quote = '"';

// Windows-1252's 0x80 to 0x9F; 0 where it has no character. The rest of its
// upper half is Latin-1, the code points of the same numbers.
constexpr char16_t windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The text as UTF-8, or nothing where a byte has no character in Windows-1252.
std::optional<std::string> fromWindows1252(std::string_view text) {
    std::string utf8;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const char16_t point = byte < 0x80   ? byte
                               : byte < 0xA0 ? windows1252High[byte - 0x80]
                                             : static_cast<char16_t>(byte);
        if (point == 0 && byte != 0) return std::nullopt;
        if (point < 0x80) {
            utf8 += static_cast<char>(point);
        } else if (point < 0x800) {
            utf8 += static_cast<char>(0xC0 | (point >> 6));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (point >> 12));
            utf8 += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return utf8;
}

}  // namespace

bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned lowest = 0;
        std::uint32_t point = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, lowest = 0x80, point = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, lowest = 0x800, point = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, lowest = 0x10000, point = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            point = (point << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and points beyond Unicode are not text.
        if (point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

CsvReader::CsvReader(std::istream& in, CsvLimits limits) : in_(in), limits_(limits) {}

bool CsvReader::fill() {
    bufferStart_ += static_cast<std::int64_t>(buffer_.size());
    buffer_.resize(chunkBytes);
    in_.read(buffer_.data(), static_cast<std::streamsize>(chunkBytes));
    buffer_.resize(static_cast<std::size_t>(in_.gcount()));
    position_ = 0;
    if (!started_) {
        if (buffer_.starts_with("\xEF\xBB\xBF")) position_ = 3;  // a byte-order mark
        // UTF-16 has a mark of its own, or a zero byte beside each ASCII letter.
        utf16_ = buffer_.starts_with("\xFF\xFE") || buffer_.starts_with("\xFE\xFF") ||
                 buffer_.substr(0, 2).find('\0') != std::string::npos;
        const std::string_view text(buffer_);
        const std::size_t end = std::min(text.find_first_of("\r\n", position_), text.size());
        const std::string_view first = text.substr(position_, end - position_);
        if (first.find(';') != first.npos && first.find(',') == first.npos) separator_ = ';';
    }
    started_ = true;
    return position_ < buffer_.size();
}

bool CsvReader::atEnd() { return position_ >= buffer_.size() && !fill(); }

// Lines end at LF, CR LF, and a CR alone (old Mac files).
void CsvReader::take() {
    const char c = buffer_[position_];
    if (c == '\r' || (c == '\n' && !afterCr_)) {
        ++line_;
        if (!nextLine_) {
            nextLine_ = {bufferStart_ + static_cast<std::int64_t>(position_) + 1, line_, c == '\r'};
        }
    }
    afterCr_ = c == '\r';
    ++position_;
}

void CsvReader::append(CsvRecord& record, std::string& field, char c) {
    if (!record.problem.empty()) return;
    if (c == '\0') {
        record.problem = "a field holds a NUL character";
        return;
    }
    if (field.size() >= limits_.fieldBytes) {
        record.problem = "a field is longer than " + wholeText(limits_.fieldBytes) + " bytes";
        return;
    }
    field += c;
}

void CsvReader::finishField(CsvRecord& record, std::string& field) {
    if (record.problem.empty() && record.fields.size() >= limits_.fieldsPerRecord) {
        record.problem =
            "the record has more than " + wholeText(limits_.fieldsPerRecord) + " fields";
    }
    if (record.problem.empty() && !isUtf8(field)) {
        const auto decoded = separator_ == ';' ? fromWindows1252(field) : std::nullopt;
        if (decoded) {
            field = *decoded;
        } else {
            record.problem = separator_ == ';'
                                 ? "a field is neither UTF-8 nor Windows-1252 text"
                                 : "a field is not UTF-8 text; save the file as UTF-8";
        }
    }
    if (record.problem.empty()) record.fields.push_back(field);
    field.clear();
}

// After the opening quote: up to the closing one, which must end the field.
bool CsvReader::readQuoted(CsvRecord& record, std::string& field) {
    while (!atEnd()) {
        const char c = peek();
        take();
        if (c != quote) {
            append(record, field, c);
            continue;
        }
        if (atEnd()) return false;
        if (peek() == quote) {
            append(record, field, quote);
            take();
            continue;
        }
        if (peek() != separator_ && peek() != '\n' && peek() != '\r' && record.problem.empty()) {
            record.problem = "a quoted field goes on after its closing quote";
        }
        return false;
    }
    if (record.problem.empty()) record.problem = "a quoted field is not closed";
    // Read on from the line after the opening quote's, where the text allows:
    // the rows after a stray quote are not lost with it.
    if (nextLine_) {
        in_.clear();
        if (in_.seekg(nextLine_->offset)) {
            bufferStart_ = nextLine_->offset;
            buffer_.clear();
            position_ = 0;
            line_ = nextLine_->line;
            afterCr_ = nextLine_->afterCr;
        }
    }
    return true;
}

void CsvReader::readField(CsvRecord& record, std::string& field, bool& recordEnds) {
    if (!atEnd() && peek() == quote) {
        take();
        if (readQuoted(record, field)) {
            recordEnds = true;
            return;
        }
    }
    while (!atEnd()) {
        const char c = peek();
        take();
        if (c == separator_) return;
        if (c == '\n') {
            recordEnds = true;
            return;
        }
        if (c == '\r') {
            if (!atEnd() && peek() == '\n') take();
            recordEnds = true;
            return;
        }
        append(record, field, c);
    }
    recordEnds = true;
}

bool CsvReader::next(CsvRecord& record) {
    while (!atEnd() && (peek() == '\n' || peek() == '\r')) take();
    if (atEnd()) return false;
    if (utf16_) {
        // Read as bytes it is a row of NULs; nothing after it is read.
        record = CsvRecord{1, {}, "the file is UTF-16 text; save it as CSV in UTF-8"};
        buffer_.clear();
        position_ = 0;
        in_.setstate(std::ios::eofbit);
        utf16_ = false;
        return true;
    }
    record = CsvRecord{line_, {}, {}};
    nextLine_.reset();
    std::string field;
    bool recordEnds = false;
    while (!recordEnds) {
        readField(record, field, recordEnds);
        finishField(record, field);
    }
    if (!record.problem.empty()) record.fields.clear();
    return true;
}

namespace {

// What a spreadsheet reads as a formula, and the guard itself.
bool startsFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r'").find(text.front()) != std::string_view::npos;
}

}  // namespace

std::string guardedCell(std::string_view text) {
    return startsFormula(text) ? "'" + std::string(text) : std::string(text);
}

std::string unguardedCell(std::string_view text) {
    if (text.starts_with('\'') && startsFormula(text.substr(1))) return std::string(text.substr(1));
    return std::string(text);
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& text = fields[i];
        if (text.find_first_of(",\"\n\r") == std::string::npos) {
            line += text;
            continue;
        }
        line += quote;
        for (const char c : text) {
            if (c == quote) line += quote;
            line += c;
        }
        line += quote;
    }
    return line + '\n';
}

}  // namespace moravik::runlog

// Comma-separated values as RFC 4180 has them: fields in double quotes may
// hold commas, quotes (doubled) and line breaks. Lines end in LF or CRLF.
// A first line with semicolons and no comma is a spreadsheet's CSV from a
// decimal-comma locale: its fields are separated by ';', and a field that is
// not UTF-8 is read as Windows-1252, as such spreadsheets save it.
//
// Reading is streaming and bounded: a record longer than the limits is
// reported and skipped without being kept, so a hostile file cannot make the
// reader hold more than one record's worth of text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moravik::runlog {

struct CsvLimits {
    std::size_t fieldBytes = 64 * 1024;
    std::size_t fieldsPerRecord = 256;
};

struct CsvRecord {
    std::int64_t line = 0;            // where the record starts, counted from 1
    std::vector<std::string> fields;  // UTF-8; empty when `problem` is set
    std::string problem;              // why the record could not be read, or empty
};

class CsvReader {
public:
    explicit CsvReader(std::istream& in, CsvLimits limits = {});

    // The next record, skipping blank lines; false at the end of the text.
    bool next(CsvRecord& record);

    // ';' for a decimal-comma spreadsheet's file, known once next() has run.
    char separator() const { return separator_; }

    // How much of the text has been read, in bytes: for a progress bar.
    std::int64_t bytesRead() const { return bufferStart_ + static_cast<std::int64_t>(position_); }

private:
    bool fill();  // reads more of the text; false at its end
    bool atEnd();
    char peek() const { return buffer_[position_]; }
    void take();
    void readField(CsvRecord& record, std::string& field, bool& recordEnds);
    bool readQuoted(CsvRecord& record, std::string& field);  // true: the record ends
    void append(CsvRecord& record, std::string& field, char c);
    void finishField(CsvRecord& record, std::string& field);

    std::istream& in_;
    CsvLimits limits_;
    std::string buffer_;
    std::size_t position_ = 0;
    std::int64_t line_ = 1;
    bool started_ = false;
    char separator_ = ',';
    bool utf16_ = false;
    std::int64_t bufferStart_ = 0;  // the text's offset of buffer_'s first byte
    bool afterCr_ = false;          // the last byte taken was a CR: an LF next ends no new line
    struct LineStart {
        std::int64_t offset, line;
        bool afterCr;
    };
    std::optional<LineStart> nextLine_;  // the line after the current record's first
};

// A text cell as export writes it: one that a spreadsheet would run as a
// formula (it begins with = + - @, a tab or a carriage return) gets a leading
// ', and so does one that begins with ' so that import can tell them apart.
// Import takes that ' off again: the round trip is exact.
std::string guardedCell(std::string_view text);
std::string unguardedCell(std::string_view text);

// One record as a line of CSV, ending in LF; fields are quoted where needed.
std::string csvLine(const std::vector<std::string>& fields);

// Whether the bytes are UTF-8 text.
bool isUtf8(std::string_view text);

}  // namespace moravik::runlog

// Comma-separated values as RFC 4180 has them: fields in double quotes may
// hold commas, quotes (doubled) and line breaks. Lines end in LF or CRLF.
//
// Reading is streaming and bounded: a record longer than the limits is
// reported and skipped without being kept, so a hostile file cannot make the
// reader hold more than one record's worth of text.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QStringList>
#include <optional>

namespace moravik::runlog {

struct CsvLimits {
    qsizetype fieldBytes = 64 * 1024;
    qsizetype fieldsPerRecord = 256;
};

struct CsvRecord {
    qint64 line = 0;     // where the record starts, counted from 1
    QStringList fields;  // empty when `problem` is set
    QString problem;     // why the record could not be read, or empty
};

class CsvReader {
public:
    explicit CsvReader(QIODevice& device, CsvLimits limits = {});

    // The next record, skipping blank lines; false at the end of the text.
    bool next(CsvRecord& record);

private:
    bool fill();  // reads more of the device; false at its end
    bool atEnd();
    char peek() const { return buffer_[position_]; }
    void take();
    void readField(CsvRecord& record, QByteArray& field, bool& recordEnds);
    bool readQuoted(CsvRecord& record, QByteArray& field);  // true: the record ends
    void append(CsvRecord& record, QByteArray& field, char c);
    void finishField(CsvRecord& record, QByteArray& field);

    QIODevice& device_;
    CsvLimits limits_;
    QByteArray buffer_;
    qsizetype position_ = 0;
    qint64 line_ = 1;
    bool started_ = false;
    qint64 bufferStart_ = 0;  // the device's offset of buffer_'s first byte
    struct LineStart {
        qint64 offset, line;
    };
    std::optional<LineStart> nextLine_;  // the line after the current record's first
};

// A text cell as export writes it: one that a spreadsheet would run as a
// formula (it begins with = + - @, a tab or a carriage return) gets a leading
// ', and so does one that begins with ' so that import can tell them apart.
// Import takes that ' off again: the round trip is exact.
QString guardedCell(const QString& text);
QString unguardedCell(const QString& text);

// One record as a line of CSV, ending in LF; fields are quoted where needed.
QByteArray csvLine(const QStringList& fields);

}  // namespace moravik::runlog

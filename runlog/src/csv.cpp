#include "moravik/runlog/csv.h"

#include <QStringDecoder>

namespace moravik::runlog {
namespace {

constexpr qint64 chunkBytes = 64 * 1024;
constexpr char quote = '"';

bool endsLine(char c) { return c == '\n'; }

}  // namespace

CsvReader::CsvReader(QIODevice& device, CsvLimits limits) : device_(device), limits_(limits) {}

bool CsvReader::fill() {
    bufferStart_ += buffer_.size();
    buffer_ = device_.read(chunkBytes);
    position_ = 0;
    if (!started_ && buffer_.startsWith("\xEF\xBB\xBF")) position_ = 3;  // a byte-order mark
    started_ = true;
    return position_ < buffer_.size();
}

bool CsvReader::atEnd() { return position_ >= buffer_.size() && !fill(); }

void CsvReader::take() {
    if (endsLine(buffer_[position_])) {
        ++line_;
        if (!nextLine_) nextLine_ = {bufferStart_ + position_ + 1, line_};
    }
    ++position_;
}

void CsvReader::append(CsvRecord& record, QByteArray& field, char c) {
    if (!record.problem.isEmpty()) return;
    if (c == '\0') {
        record.problem = QStringLiteral("a field holds a NUL character");
        return;
    }
    if (field.size() >= limits_.fieldBytes) {
        record.problem = QStringLiteral("a field is longer than %1 bytes")
                             .arg(QString::number(limits_.fieldBytes));
        return;
    }
    field.append(c);
}

void CsvReader::finishField(CsvRecord& record, QByteArray& field) {
    if (record.problem.isEmpty() && record.fields.size() >= limits_.fieldsPerRecord) {
        record.problem = QStringLiteral("the record has more than %1 fields")
                             .arg(QString::number(limits_.fieldsPerRecord));
    }
    if (record.problem.isEmpty()) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder(field);
        if (decoder.hasError()) {
            record.problem = QStringLiteral("a field is not UTF-8 text");
        } else {
            record.fields << text;
        }
    }
    field.clear();
}

// After the opening quote: up to the closing one, which must end the field.
bool CsvReader::readQuoted(CsvRecord& record, QByteArray& field) {
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
        if (peek() != ',' && peek() != '\n' && peek() != '\r' && record.problem.isEmpty()) {
            record.problem = QStringLiteral("a quoted field goes on after its closing quote");
        }
        return false;
    }
    if (record.problem.isEmpty()) record.problem = QStringLiteral("a quoted field is not closed");
    // Read on from the line after the opening quote's, where the device allows:
    // the rows after a stray quote are not lost with it.
    if (nextLine_ && !device_.isSequential() && device_.seek(nextLine_->offset)) {
        bufferStart_ = nextLine_->offset;
        buffer_.clear();
        position_ = 0;
        line_ = nextLine_->line;
    }
    return true;
}

void CsvReader::readField(CsvRecord& record, QByteArray& field, bool& recordEnds) {
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
        if (c == ',') return;
        if (c == '\n') {
            recordEnds = true;
            return;
        }
        if (c == '\r' && !atEnd() && peek() == '\n') continue;
        append(record, field, c);
    }
    recordEnds = true;
}

bool CsvReader::next(CsvRecord& record) {
    while (!atEnd() && (peek() == '\n' || peek() == '\r')) take();
    if (atEnd()) return false;
    record = CsvRecord{line_, {}, {}};
    nextLine_.reset();
    QByteArray field;
    bool recordEnds = false;
    while (!recordEnds) {
        readField(record, field, recordEnds);
        finishField(record, field);
    }
    if (!record.problem.isEmpty()) record.fields.clear();
    return true;
}

namespace {

// What a spreadsheet reads as a formula, and the guard itself.
bool startsFormula(const QString& text) {
    static const QString starts = QStringLiteral("=+-@\t\r'");
    return !text.isEmpty() && starts.contains(text.front());
}

}  // namespace

QString guardedCell(const QString& text) {
    return startsFormula(text) ? QLatin1Char('\'') + text : text;
}

QString unguardedCell(const QString& text) {
    if (text.startsWith(QLatin1Char('\'')) && startsFormula(text.mid(1))) return text.mid(1);
    return text;
}

QByteArray csvLine(const QStringList& fields) {
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        const QByteArray text = fields[i].toUtf8();
        if (text.contains(',') || text.contains(quote) || text.contains('\n') ||
            text.contains('\r')) {
            line += quote + QByteArray(text).replace("\"", "\"\"") + quote;
        } else {
            line += text;
        }
    }
    return line + '\n';
}

}  // namespace moravik::runlog

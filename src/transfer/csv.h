#pragma once

#include "transfer/records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

class QIODevice;

// Comma-separated files as spreadsheets write them: fields in double quotes
// may hold the separator, line breaks and doubled quotes; the separator is a
// comma or a semicolon; a UTF-8 byte-order mark is skipped; lines end in
// LF or CR LF.
namespace pel::transfer {

// The separator a file uses, read from its first line (outside quotes): the
// semicolon when it stands there more often than the comma, else the comma.
char DetectSeparator(const QByteArray &data);

// One record of a CSV file: its fields, every one Written.
using CsvRecord = Record;

// Reads the records of a whole file held in memory, one after another.
class CsvReader : public RecordSource
{
public:
    // separator 0 detects it from the first line.
    explicit CsvReader(QByteArray data, char separator = 0);

    // The next record. Malformed: the record starting at record.line has a
    // quoted field that never closes, or text after a closing quote; *problem
    // says which, and reading goes on at the line after the one where that
    // field began, so that one broken line does not hide the lines after it.
    Status next(Record &record, QString *problem = nullptr) override;

    char separator() const { return m_separator; }
    qint64 position() const override { return m_pos; }
    qint64 size() const override { return m_data.size(); }
    qint64 expectedRecords() const override; // a record a line
    std::unique_ptr<RecordSource> restarted() const override;

private:
    QByteArray m_data;
    char m_separator = ',';
    qint64 m_pos = 0;
    int m_line = 1;
    std::string m_scratch;
    std::vector<std::pair<size_t, size_t>> m_spans;
};

// A text cell as a spreadsheet may safely open it: a text that a
// spreadsheet would run as a formula (beginning with "=", "+", "-", "@", a
// tab or a carriage return, after any apostrophes) gets an apostrophe in
// front. Numbers are never passed through it.
QString neutralised(const QString &text);
// The text back: one apostrophe in front of such a text is taken off, so
// that an exported file imports back unchanged.
std::string_view unneutralised(std::string_view text);

// A field as a CSV cell: quoted when it holds a comma or a semicolon (either
// of which a spreadsheet may take as the separator: "74,5" in a file
// separated by semicolons stays one cell), a quote or a line break; a quote
// inside doubled.
QByteArray CsvField(const QString &value, char separator);
// A whole line of cells, ended by CR LF.
QByteArray CsvLine(const QStringList &values, char separator);

// The UTF-8 byte-order mark that tells spreadsheet programs the encoding.
inline constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

} // namespace pel::transfer

#pragma once

#include <QString>

#include <memory>
#include <string_view>
#include <vector>

// The rows of a file as the import reads them, whatever the file: lines of
// a CSV file or rows of a spreadsheet's sheet, each field a text plus, for a
// sheet, the type of its cell.
namespace pel::transfer {

// What a field is. A CSV file says nothing about its fields; a sheet gives
// each cell its type, and the import reads a cell by it.
enum class CellType : unsigned char {
    Written, // a CSV field: the text as the file has it (a spreadsheet may have turned digits into a number first)
    Text,    // a text cell: the text as typed
    Number,  // a number cell: the number in plain digits ("12", "74.5"), never in exponent form
    Boolean, // a logical cell: "TRUE" or "FALSE"
    Date,    // a cell holding a date: the date as dd-mm-yyyy
    Error,   // a formula's error ("#N/A", "#DIV/0!")
};

// One record: its fields as UTF-8 bytes, valid until the next read.
struct Record
{
    int line = 0; // the file's line the record starts on, or the sheet's row, counted from 1
    std::vector<std::string_view> fields;
    std::vector<CellType> types; // one a field; empty when every field is Written

    int size() const { return int(fields.size()); }
    QString text(int i) const { return QString::fromUtf8(fields[i].data(), qsizetype(fields[i].size())); }
    CellType type(int i) const { return size_t(i) < types.size() ? types[size_t(i)] : CellType::Written; }
    // True for a line with nothing in it, or with empty fields only.
    bool isBlank() const
    {
        for (const std::string_view &field : fields)
            if (!field.empty())
                return false;
        return true;
    }
};

// Reads the records of one file, one after another; the first is the header.
class RecordSource
{
public:
    virtual ~RecordSource() = default;

    enum class Status { Record, End, Malformed };
    // The next record. Malformed: the record starting at record.line could
    // not be read; *problem says why, and reading goes on after it where the
    // file allows.
    virtual Status next(Record &record, QString *problem = nullptr) = 0;

    // How far the reading has come, and where it ends, in bytes.
    virtual qint64 position() const = 0;
    virtual qint64 size() const = 0;
    // About how many records the file holds (for reserving room), or 0.
    virtual qint64 expectedRecords() const = 0;
    // A reader of the same file from its first record, for a second pass.
    virtual std::unique_ptr<RecordSource> restarted() const = 0;
};

} // namespace pel::transfer

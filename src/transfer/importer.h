#pragma once

#include "db/result.h"
#include "transfer/records.h"
#include "transfer/tables.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace pel::db {
class Connection;
}

// Bringing rows of a CSV file or of an Excel sheet into SISWA, Pelajaran or
// Nilai, the one way for both: a file's records (RecordSource) go through
// the same checks and the same writing. The rows are
// checked and written in one transaction that holds the write lock from
// before the stored keys are read, and that is committed only when no row
// was refused, so a refused file leaves the database exactly as it was. The
// check is the write: a dry run is the same import rolled back, so a file
// that passes it is a file the import accepts.
namespace pel::transfer {

// One refused cell or line.
struct Problem
{
    int line = 0;   // the file's line, counted from 1 (the header is line 1)
    QString column; // the column's name, empty when the whole line is meant
    QString value;  // the cell as written
    QString reason; // why, in Indonesian
};

// "Baris 7, kolom TglLahir, nilai "31-02-2020": <reason>".
QString problemText(const Problem &problem);
// The problems as a CSV file with the header Baris,Kolom,Nilai,Alasan; a
// cell a spreadsheet would run as a formula is kept a text (neutralised()).
QByteArray problemsCsv(const QList<Problem> &problems, char separator = ',');
// Writes them to the file at path through the file writer.
db::Result writeProblemsFile(const QString &path, const QList<Problem> &problems);

struct ImportOptions
{
    bool dryRun = false;   // check only: the import is done and rolled back
    bool update = false;   // a row whose key is stored changes that record instead of being refused
    int previewRows = 0;   // how many checked rows to keep, as they would be stored
    // Called now and then with the bytes read so far and the file's size.
    std::function<void(qint64 done, qint64 total)> progress;
};

struct ImportReport
{
    db::Result result; // Ok: written (or, dry run, every row passed); BadValue: rows refused; else why it failed
    int rows = 0;      // data rows read
    int inserted = 0;  // rows that were (or, dry run, would be) added
    int updated = 0;   // rows that were (or would be) changed
    QList<Problem> problems;
    QStringList previewColumns;     // the stored columns, in table order
    QList<QStringList> previewRows; // the first checked rows as they would be stored

    bool accepted() const { return result.ok() && problems.isEmpty(); }
};

// Imports the records of a file into table on conn. Besides the checks of
// each column, a cell that a spreadsheet damaged is refused with its cause
// and cure: a key or a telephone number that lost its leading zeros, a
// number in exponent form, a number cell of a sheet in a text column that
// is not the text it was typed as, a date with a two-digit year. Columns
// without a name and with nothing below them are passed over.
ImportReport importRecords(const db::Connection &conn, Table table, RecordSource &source,
                           const ImportOptions &options);
// Imports a CSV file's bytes (UTF-8, with or without its byte-order mark).
ImportReport importCsv(const db::Connection &conn, Table table, const QByteArray &data, const ImportOptions &options);
// Imports the file at path: an Excel workbook (.xlsx: the sheet named after
// the table, else the first) or a CSV file (any other name). A file that
// cannot be read gives a Failure.
ImportReport importFile(const db::Connection &conn, Table table, const QString &path, const ImportOptions &options);

} // namespace pel::transfer

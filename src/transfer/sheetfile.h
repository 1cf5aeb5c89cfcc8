#pragma once

#include "db/filewriter.h"
#include "db/result.h"
#include "transfer/tables.h"

#include <QString>

#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// Writing an Excel workbook (.xlsx) of one sheet that keeps its values when
// an office edits it in a spreadsheet program: keys and telephone numbers
// are text cells in columns formatted as text (typed values keep their
// leading zeros too), dates are date cells shown dd-mm-yyyy, numbers are
// number cells. The import reads such a sheet back as it was written.
namespace pel::transfer {

class SheetFile
{
public:
    // The data rows a sheet holds below its header row.
    static const int MaxRows;

    // A workbook at path with one sheet named after table, whose columns
    // are columns (their names the header row).
    SheetFile(const QString &path, Table table, std::vector<Column> columns);
    // A workbook not committed is removed; an older file stays as it was.
    ~SheetFile();
    SheetFile(const SheetFile &) = delete;
    SheetFile &operator=(const SheetFile &) = delete;

    // Creates the temporary file and the workbook, and writes the header.
    db::Result open();
    // Writes a cell of a data row (counted from 1) in column c. A text in a
    // date column that is a date (dd-mm-yyyy) becomes a date cell; any
    // other text a text cell; an empty text leaves the cell empty.
    void writeText(int row, int c, const QString &text);
    void writeNumber(int row, int c, double value);
    // Filters the header down to lastRow, closes the workbook and puts the
    // file in place; the first cell that could not be written fails it.
    db::Result commit(int lastRow);

private:
    db::Result failure(const QString &why);

    QString m_path;
    Table m_table;
    std::vector<Column> m_columns;
    db::FileWriter m_file;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_text = nullptr;
    lxw_format *m_date = nullptr;
    int m_error = 0; // the first lxw_error of a cell
};

} // namespace pel::transfer

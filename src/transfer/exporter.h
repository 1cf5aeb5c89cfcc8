#pragma once

#include "db/result.h"
#include "transfer/tables.h"

#include <QString>

#include <optional>

namespace pel::db {
class Connection;
}

// Writing a table to a CSV or Excel file. The file is written under a
// temporary name in the same folder and takes its own name only when it is
// complete, so a failed export never leaves half a file behind or spoils an
// older one.
namespace pel::transfer {

enum class Format { Csv, Xlsx };

// The format an output file's name asks for: ".csv" or ".xlsx", letter case
// ignored; nothing for any other name.
std::optional<Format> formatForPath(const QString &path);

// Writes every row of table in its stored order. CSV: UTF-8 with a byte-order
// mark, the column names as the header, separator ',' or ';' (with ';' a
// number's decimal separator is the comma, as spreadsheets in the Indonesian
// locale write it); a value holding a comma or a semicolon is quoted. Excel:
// one sheet (SheetFile): keys and telephone numbers as text in columns
// formatted as text, dates as date cells shown dd-mm-yyyy, other texts as
// text cells, numbers as number cells, the header row frozen and filtered.
// Grades carry the student's and the subject's name beside the stored
// columns. On success rowsAffected holds the number of rows written.
db::Result exportTable(const db::Connection &conn, Table table, const QString &path, char separator = ',');

// An empty file of the columns an import reads, to fill in: the header line
// of a CSV file (UTF-8 with its byte-order mark, separated by commas), or a
// workbook laid out as an export is, by the name's extension.
db::Result writeTemplate(Table table, const QString &path);

} // namespace pel::transfer

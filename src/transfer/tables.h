#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace pel {
struct MenuRights;
}

// The three data tables as files see them: their columns, which of them the
// screens upper-case, which hold dates and numbers, and who may move them.
namespace pel::transfer {

enum class Table { Students, Subjects, Grades };

// How a cell is read on import.
enum class Kind {
    Text,    // stored as written
    Upper,   // stored in capitals, as the entry screens store it after Enter
    Date,    // dd-mm-yyyy (yyyy-mm-dd is turned into it); empty allowed
    Number,  // a number, stored as a number
    Derived, // a grade's letter, weight, quality points, predicate or remark: never read
    Extra,   // a name shown beside a grade on export, not stored in Nilai: never read
};

// Columns whose texts are often digits, which a spreadsheet turns into a
// number when it opens a CSV file: the leading zeros of "0012" and of
// "0812..." are then lost.
enum class Code {
    None,
    Key,   // a key or a reference to one: NIS, subject code, registration number
    Phone, // a telephone number
};

struct Column
{
    QString name; // as the database spells it
    Kind kind = Kind::Text;
    Code code = Code::None;
};

// "students", "subjects", "grades"; nothing for another word.
std::optional<Table> tableFromName(const QString &word);
QString sqlTableName(Table table); // "SISWA", "Pelajaran", "Nilai"
QString tableCaption(Table table); // "Siswa", "Mata Pelajaran", "Nilai"

// Every column a file of the table may carry, in the order of an export.
const std::vector<Column> &columns(Table table);
// The columns an import reads, in the order of the template.
std::vector<Column> templateColumns(Table table);
QStringList templateColumnNames(Table table);

// Who may do what, by the menus the login opened: students and subjects
// come in with the rights of "&File", grades with those of "&Proses Data";
// any data menu allows an export.
bool mayImport(const MenuRights &rights, Table table);
bool mayExport(const MenuRights &rights);

// What a check of an import file still lacks, in a line the screen shows
// beside its buttons: the rights for the table, then a .xlsx or .csv file to read.
// Empty when nothing is missing.
QString missingForCheck(const MenuRights &rights, Table table, const QString &path);

} // namespace pel::transfer

#pragma once

#include "db/gradestatements.h"
#include "db/result.h"
#include "db/tablewriter.h"

#include <QString>

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace pel::db {
class Connection;
}

// The one writer of new grade rows: the grade screen, the class grade screen
// and the import all add their rows through it. A registration number
// belongs to one student; the writer draws a row's number, or takes the one
// given, checks that no other student's rows carry it, and inserts the row,
// all in the caller's transaction, which must hold the write lock
// (db::Transaction::Mode::Write): no other desk or import can then give the
// same number to another student between the check and the insert.
namespace pel::grades {

// How a row's registration number is chosen.
enum class Numbering {
    // The number given when no other student holds it (the one the grade
    // screen drew when it opened, or an empty one), else a new one.
    GivenOrNew,
    // The number given, refused (Conflict, the other student's NIS as its
    // reason) when another student holds it; an empty one draws a new one.
    Given,
};

class GradeWriter
{
public:
    // Row: a few rows, each checked with a statement of its own and
    // inserted with the grade screen's statement. Batch: many rows (an
    // import): the numbers in use are read once, the rows go in through
    // db::TableWriter.
    enum class Mode { Row, Batch };

    explicit GradeWriter(const db::Connection &conn, Mode mode = Mode::Row);
    ~GradeWriter();
    GradeWriter(const GradeWriter &) = delete;
    GradeWriter &operator=(const GradeWriter &) = delete;

    // Keeps number from being drawn for another row (a number that a file
    // gives a later row).
    void reserve(const QString &number);

    // Row mode: adds the row (the values as the grade screen's boxes hold
    // them). On success row.noreg holds the number it was stored under and
    // *rowId the new row's id (SQLite's rowid, the server's Urutan).
    db::Result insert(db::GradeRowValues &row, Numbering numbering, qint64 *rowId = nullptr);

    // Batch mode: the number a row of nis is stored under (Numbering::Given:
    // an empty number is drawn into it; another student's is refused).
    db::Result number(std::string &number, const std::string &nis);
    // Batch mode: prepares the inserts and the updates of stored rows
    // (update()); a table or column the engine does not know is told here.
    db::Result prepare();
    // Batch mode: adds the row of cells in Nilai's column order (0 Noreg,
    // 2 Nis, 5 KdMatpel), its number chosen as number() chooses it; tag
    // names the row in a refusal (refusedTag()).
    db::Result insert(int tag, std::vector<db::Cell> &cells);
    // Batch mode: gives the stored row of the cells' registration number
    // and subject code the cells' other values.
    db::Result update(int tag, const std::vector<db::Cell> &cells);
    // Sends the rows kept for a batch.
    db::Result flush();
    int refusedTag() const;

private:
    // The NIS of a student other than nis whose rows carry number; empty when
    // none does.
    db::Result otherOwner(const std::string &number, const std::string &nis, std::string *owner);
    // The number a row is stored under, by the rule of numbering.
    db::Result choose(std::string &number, const std::string &nis, Numbering numbering);
    // A new number: the one after the last row of Nilai as it stood when the
    // writer began (after the number drawn before, from the second on), or
    // the next one after it that no other student's rows carry and none
    // reserved.
    db::Result draw(const std::string &nis, std::string *number);
    db::Result loadOwners();

    const db::Connection &m_conn;
    Mode m_mode;
    QString m_last; // the number a draw follows
    bool m_lastKnown = false;
    std::unordered_set<std::string> m_reserved; // folded
    // Batch mode: every number in use (folded) and the NIS that holds it.
    std::unordered_map<std::string, std::string> m_owners;
    bool m_ownersLoaded = false;
    std::unique_ptr<db::TableWriter> m_rows;
};

} // namespace pel::grades

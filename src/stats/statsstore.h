#pragma once

#include "db/result.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <atomic>

namespace pel::db {
class Connection;
}

// The statistics' store: the statements and reads behind the four views of
// the statistics screen and the tool's "stats" command, on the connection
// given. Every view reads inside one snapshot, so its figures come from one
// state of the tables. On an SQLite file the rows are read straight from the
// engine and counted by the rules of statsrules.h (a grouping statement
// would sort a million rows first); on a server the grouping statements
// below do the counting by the same rules, so both engines give the same
// figures. Keys (codes, programmes, levels, instructors) are one when they
// are equal but for the case of ASCII letters; each is shown in the smallest
// of its spellings, byte by byte, and the figures come in the order of the
// folded keys.
namespace pel::stats {

// What the figures are narrowed to. An empty programme or level, or a null
// date, narrows nothing; a programme or level is compared whole, letter case
// ignored. A limited period leaves out the rows whose date is no date
// (statsrules.h).
struct Filter
{
    QString programme;
    QString level;
    QDate from;
    QDate to;

    bool operator==(const Filter &) const = default;
};

// Grade rows counted together, by subject (KdMatpel) or by instructor
// (Tentor). The programme and level of the filter are those of the grade
// row (Program, Jenjang), the period that of its TglProses.
struct GradeFigures
{
    QString key;       // the subject code or the instructor, as stored
    QString name;      // subjects: NmMatpel, empty when the code is not in Pelajaran
    qint64 rows = 0;
    qint64 scored = 0; // rows with a score
    qint64 scoreMillionths = 0;
    bool meanKnown = true; // false when a score reached ScoreLimit or the sum outgrew 64 bits
    std::array<qint64, 5> letters{}; // rows by stored letter, A to E, letter case ignored
    qint64 passed = 0;                // rows whose stored remark is "Lulus", letter case ignored
};

db::Result subjectFigures(const db::Connection &conn, const Filter &filter, QList<GradeFigures> *rows,
                          const std::atomic_bool *cancel = nullptr);
db::Result instructorFigures(const db::Connection &conn, const Filter &filter, QList<GradeFigures> *rows,
                             const std::atomic_bool *cancel = nullptr);

// The students of one programme and level (ProgamJurusan, LevelTahap of
// SISWA) that the IPK list lists, each with his index exactly as the list
// prints it (an empty or "-" cell counts as 0.00). The period keeps the
// students with at least one grade row processed within it; their index
// stays that of all their grades.
struct IpkFigures
{
    QString programme;
    QString level;
    qint64 students = 0;
    qint64 ipkHundredths = 0; // the sum of the printed indices
    std::array<qint64, 6> bands{};
};

db::Result ipkFigures(const db::Connection &conn, const Filter &filter, QList<IpkFigures> *rows,
                      const std::atomic_bool *cancel = nullptr);

// Students by the month of their entry date (TglMasuk) and programme; the
// period limits the entry date. Students whose entry date is no date come
// last, as month 0 of year 0 ("tanpa tanggal").
struct IntakeFigures
{
    int year = 0;
    int month = 0;
    QString programme;
    qint64 students = 0;
};

db::Result intakeFigures(const db::Connection &conn, const Filter &filter, QList<IntakeFigures> *rows,
                         const std::atomic_bool *cancel = nullptr);

// The index of one student as the IPK list prints it, in hundredths, from
// the two sums of its totals statement: the very digits of the list's IPK
// cell, 0 where the cell is blank or shows "-".
qint64 printedIpkHundredths(const QVariant &creditSum, const QVariant &pointSum);

// ---- statement texts ----

// On a server: grade rows grouped by the folded key column (KdMatpel or
// Tentor), with the filter's conditions; one "?" for each condition that
// narrows, in the order programme, level, from, to.
QString serverGradeFiguresSql(const QString &keyColumn, const Filter &filter);
// On a server: the number yyyymmdd of a stored date text, or null, in SQL.
QString serverDateKeySql(const QString &column);
// The IPK list's own sums of every student beside his programme and level;
// on a server with the period's condition (two "?" at most, from and to).
QString ipkRowsSql(bool postgres, const Filter &filter);

// Which view, for the screen and the tool.
enum class View { Subjects, Ipk, Intake, Instructors };

} // namespace pel::stats

#pragma once

#include <QString>

// The statements of the report screen. A typed NIS enters them only through
// quoted(), so a quote inside it is read as part of the NIS.
namespace pel::db {

// Every student, for the two NIS lists of the report screen.
QString reportStudentsSql();

// The student list, in ascending NIS order.
QString studentListSql();

// The graded subjects of one student with the student's header values.
QString gradeStatementSql(const QString &nis);

// The same without the quality points.
QString certificateSql(const QString &nis);

// Every student who has at least one grade, once each.
QString ipkStudentsSql();

// The credit and quality-point sums (VSKS, VNILAI) of one student.
QString ipkTotalsSql(const QString &nis);

} // namespace pel::db

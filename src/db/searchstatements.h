#pragma once

#include <QString>

// The statements of the student search screen.
namespace pel::db {

// The students whose column equals the search text as a whole:
// "select * from siswa where (<column>= '<text>')", the text quoted.
QString searchStudentsStatement(const QString &column, const QString &text);

// Every student: "select * from SISWA where SISWA.nis is not null". Each
// student has a NIS, so each one is listed, whatever the NIS looks like.
QString listAllStudentsStatement();

} // namespace pel::db

#pragma once

#include <QString>

// Fills a new SISWA.mdb with made-up but plausible records, so that the
// screens and reports can be timed on an institution's whole history.
namespace pel::bench {

struct GeneratorSize
{
    int students = 100000;
    int subjects = 200;
    int gradesPerStudent = 10; // at most subjects
};

// The NIS of student number i (1-based): seven digits, "0000001" onwards.
QString studentNis(int i);

// Creates path with the program's schema and fills it in one transaction:
// the students, the subjects, gradesPerStudent grade rows per student (each
// for a different subject, one registration number per student, the derived
// values from the grading rule) and one operator of each access level.
// Refuses an existing file. False, with the reason in *error, on failure.
bool generateDatabase(const QString &path, const GeneratorSize &size, QString *error);

} // namespace pel::bench

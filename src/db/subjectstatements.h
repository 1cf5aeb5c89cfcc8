#pragma once

#include <QString>

// The statements of the subject catalogue (table Pelajaran). Each typed
// value goes into the text as a quoted literal, so a quote in a box is
// stored as typed and never changes what the statement means.
namespace pel::db {

// The six boxes of the subject entry screen, as text, exactly as typed.
struct SubjectText
{
    QString code;       // KdMatpel
    QString name;       // NmMatpel
    QString entryDate;  // TglEntry, dd-mm-yyyy with the date box's prompts
    QString room;       // Lokal
    QString instructor; // Instruktur
    QString sks;        // SKS; the database turns the text into a number or refuses it

    bool operator==(const SubjectText &) const = default;
};

// The subject with this code (compared without regard to letter case).
QString subjectLookupSql(const QString &code);

// Inserts a new subject from the six texts.
QString subjectInsertSql(const SubjectText &subject);

// Gives the subject of subject.code the other five texts; the code stays.
QString subjectUpdateSql(const SubjectText &subject);

// Deletes the subject with exactly this code; "%" and "_" in the code are
// taken as the characters themselves, never as wildcards.
QString subjectDeleteSql(const QString &code);

} // namespace pel::db

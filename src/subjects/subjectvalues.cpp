#include "subjects/subjectvalues.h"

#include "db/recordset.h"

namespace pel::subjects {

db::SubjectText subjectFromRecord(const db::Recordset &record)
{
    auto text = [&record](const char *column) { return record.value(QString::fromLatin1(column)).toString(); };
    return {text("KdMatpel"), text("NmMatpel"), text("TglEntry"),
            text("Lokal"),    text("Instruktur"), text("SKS")};
}

} // namespace pel::subjects

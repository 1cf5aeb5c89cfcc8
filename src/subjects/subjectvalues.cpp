#include "subjects/subjectvalues.h"

#include "db/recordset.h"

namespace pel::subjects {

db::SubjectText subjectFromRecord(const db::Recordset &record)
{
    auto text = [&record](const char *column) { return record.value(QString::fromLatin1(column)).toString(); };
    return {text("KdMatpel"), text("NmMatpel"), text("TglEntry"),
            text("Lokal"),    text("Instruktur"), text("SKS")};
}

bool fitsDateMask(const QString &text)
{
    if (text.size() != 10)
        return false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (i == 2 || i == 5) {
            if (c != QLatin1Char('-'))
                return false;
        } else if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('_')) {
            return false;
        }
    }
    return true;
}

} // namespace pel::subjects

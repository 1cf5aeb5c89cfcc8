#include "search/recordbar.h"

#include "db/recordset.h"

namespace pel::search {

QString unreadableReason(const db::Recordset &recordset)
{
    if (recordset.isOpen())
        return {};
    if (!recordset.lastError().isEmpty())
        return recordset.lastError();
    return QStringLiteral("Tidak ada hasil yang terbuka.");
}

MoveOutcome moveRecord(db::Recordset &recordset, RecordMove move)
{
    MoveOutcome outcome;
    outcome.error = unreadableReason(recordset);
    if (!outcome.error.isEmpty()) {
        outcome.ok = false;
        return outcome;
    }
    const bool hasRows = recordset.recordCount() > 0;
    switch (move) {
    case RecordMove::First:
    case RecordMove::Last:
        if (!hasRows) {
            outcome.ok = false;
            outcome.error = QStringLiteral("Hasil tidak berisi baris.");
            return outcome;
        }
        if (move == RecordMove::First)
            recordset.moveFirst();
        else
            recordset.moveLast();
        break;
    case RecordMove::Next:
        if (!recordset.eof())
            recordset.moveNext();
        if (hasRows && recordset.eof()) {
            outcome.beep = true;
            recordset.moveLast();
        }
        break;
    case RecordMove::Previous:
        if (!recordset.bof())
            recordset.movePrevious();
        if (hasRows && recordset.bof()) {
            outcome.beep = true;
            recordset.moveFirst();
        }
        break;
    }
    return outcome;
}

QString recordPositionText(const db::Recordset &recordset)
{
    return QStringLiteral("Record ke-") + QString::number(recordset.absolutePosition()) + QStringLiteral(" dari ")
        + QString::number(recordset.recordCount());
}

} // namespace pel::search

#include "search/recordbar.h"

#include "db/recordset.h"

namespace pel::search {

db::Result readable(const db::Recordset &recordset)
{
    if (recordset.isOpen())
        return db::Result::success();
    if (!recordset.failure().ok())
        return recordset.failure();
    return db::Result::failed(QStringLiteral("Tidak ada hasil yang terbuka."));
}

db::Result moveRecord(db::Recordset &recordset, RecordMove move, bool *beep)
{
    *beep = false;
    if (const db::Result open = readable(recordset); !open.ok())
        return open;
    const bool hasRows = recordset.recordCount() > 0;
    switch (move) {
    case RecordMove::First:
    case RecordMove::Last:
        if (!hasRows)
            return db::Result::failed(QStringLiteral("Hasil tidak berisi baris."));
        if (move == RecordMove::First)
            recordset.moveFirst();
        else
            recordset.moveLast();
        break;
    case RecordMove::Next:
        if (!recordset.eof())
            recordset.moveNext();
        if (hasRows && recordset.eof()) {
            *beep = true;
            recordset.moveLast();
        }
        break;
    case RecordMove::Previous:
        if (!recordset.bof())
            recordset.movePrevious();
        if (hasRows && recordset.bof()) {
            *beep = true;
            recordset.moveFirst();
        }
        break;
    }
    return db::Result::success();
}

QString recordPositionText(const db::Recordset &recordset)
{
    return QStringLiteral("Record ke-") + QString::number(recordset.absolutePosition()) + QStringLiteral(" dari ")
        + QString::number(recordset.recordCount());
}

} // namespace pel::search

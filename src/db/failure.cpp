#include "db/failure.h"

#include "db/result.h"

#include <QSqlError>

#include <cerrno>
#include <cstring>

namespace pel::db {

namespace {

// SQLite's primary result codes, as the driver reports them in nativeErrorCode().
enum SqliteCode {
    SqlitePerm = 3,
    SqliteBusy = 5,
    SqliteLocked = 6,
    SqliteReadOnly = 8,
    SqliteIoErr = 10,
    SqliteCorrupt = 11,
    SqliteFull = 13,
    SqliteCantOpen = 14,
    SqliteConstraint = 19,
    SqliteMismatch = 20,
    SqliteNotADb = 26,
};

} // namespace

Cause causeOf(const QSqlError &error)
{
    const QString text = errorText(error);
    const auto has = [&text](const char *words) { return text.contains(QLatin1String(words), Qt::CaseInsensitive); };
    // A server's refusal names its cause by SQLSTATE; its texts decide the rest.
    const QString state = sqlState(error);
    const auto stateIs = [&state](const char *code) { return state == QLatin1String(code); };
    if (stateIs("23505"))
        return Cause::DuplicateKey;
    if (stateIs("23503") || stateIs("23001"))
        return Cause::Referenced;
    if (stateIs("23514") && (has("_nis_check") || has("_kdmatpel_check")))
        return Cause::EmptyKey;
    if (stateIs("23514") || stateIs("23502") || state.startsWith(QLatin1String("22")))
        return Cause::NotANumber;
    if (stateIs("55P03") || stateIs("40001") || stateIs("40P01"))
        return Cause::InUse;
    if (stateIs("53100"))
        return Cause::DiskFull;
    bool numeric = false;
    // Extended codes carry the primary code in their low byte (SQLite's
    // codes only: a server's SQLSTATE is no such number).
    const int code = state.isEmpty() ? error.nativeErrorCode().toInt(&numeric) & 0xff : 0;
    if (has("FOREIGN KEY"))
        return Cause::Referenced;
    if (has("UNIQUE constraint") || has("PRIMARY KEY"))
        return Cause::DuplicateKey;
    // The keys' own checks: "NIS <> ''" in SQLite's words, the constraint's
    // name on a server.
    if (has("<> ''") || has("_nis_check") || has("_kdmatpel_check"))
        return Cause::EmptyKey;
    if (has("CHECK constraint") || has("cannot store") || has("datatype mismatch") || has("NOT NULL constraint")
        || (numeric && (code == SqliteMismatch || code == SqliteConstraint)))
        return Cause::NotANumber;
    if (has("database is locked") || has("database table is locked")
        || (numeric && (code == SqliteBusy || code == SqliteLocked)))
        return Cause::InUse;
    if (has("database or disk is full") || (numeric && code == SqliteFull))
        return Cause::DiskFull;
    if (has("file is not a database") || (numeric && code == SqliteNotADb))
        return Cause::NotOurDatabase;
    if (has("malformed") || (numeric && code == SqliteCorrupt))
        return Cause::Damaged;
    if (has("readonly database") || has("read-only") || (numeric && (code == SqliteReadOnly || code == SqlitePerm)))
        return Cause::NotWritable;
    if (has("unable to open") || (numeric && code == SqliteCantOpen))
        return Cause::NotWritable;
    if (numeric && code == SqliteIoErr)
        return Cause::Damaged;
    return Cause::Other;
}

Cause causeOf(const Result &result)
{
    switch (result.kind) {
    case Result::Kind::DuplicateKey:
        return Cause::DuplicateKey;
    case Result::Kind::BadValue: {
        // A refused value is a number unless the text names an empty key.
        const Cause cause = causeOf(QSqlError(QString(), result.reason));
        return cause == Cause::EmptyKey ? cause : Cause::NotANumber;
    }
    case Result::Kind::ForeignKey:
        return Cause::Referenced;
    default:
        return causeOf(QSqlError(QString(), result.reason));
    }
}

Cause causeOfErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOSPC:
    case EDQUOT:
        return Cause::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return Cause::NotWritable;
    case ENOENT:
        return Cause::NotFound;
    case EISDIR:
        return Cause::IsFolder;
    case EWOULDBLOCK:
        return Cause::InUse;
    default:
        return Cause::Other;
    }
}

QString causeLine(Cause cause)
{
    switch (cause) {
    case Cause::DuplicateKey:
        return QStringLiteral("Sebab: kunci tersebut sudah tersimpan.");
    case Cause::EmptyKey:
        return QStringLiteral("Sebab: kunci masih kosong.");
    case Cause::NotANumber:
        return QStringLiteral("Sebab: ada nilai yang bukan angka yang sah.");
    case Cause::Referenced:
        return QStringLiteral("Sebab: data masih diacu oleh data lain.");
    case Cause::InUse:
        return QStringLiteral("Sebab: database sedang dipakai program lain; coba lagi setelah program itu selesai.");
    case Cause::DiskFull:
        return QStringLiteral("Sebab: disk penuh.");
    case Cause::NotWritable:
        return QStringLiteral("Sebab: file atau foldernya tidak dapat ditulisi.");
    case Cause::NotFound:
        return QStringLiteral("Sebab: file tidak ditemukan.");
    case Cause::IsFolder:
        return QStringLiteral("Sebab: yang ada di tempat itu sebuah folder, bukan file database.");
    case Cause::NotOurDatabase:
        return QStringLiteral("Sebab: file ini bukan database PELITAKSA.");
    case Cause::Damaged:
        return QStringLiteral("Sebab: database rusak.");
    case Cause::Other:
        break;
    }
    return QStringLiteral("Sebab: database menolak perintah.");
}

QStringList failureLines(Cause cause, const QString &detail)
{
    QStringList lines{causeLine(cause)};
    if (!detail.trimmed().isEmpty())
        lines << QStringLiteral("Detail: ") + detail.trimmed();
    return lines;
}

QStringList failureLines(const QSqlError &error)
{
    return failureLines(causeOf(error), errorText(error));
}

QStringList failureLines(const QString &engineText)
{
    return failureLines(QSqlError(QString(), engineText));
}

QString failureMessage(const QString &first, const QString &engineText)
{
    return (QStringList{first} + failureLines(engineText)).join(QLatin1Char('\r'));
}

QString failureMessage(const QString &first, Cause cause, const QString &detail)
{
    return (QStringList{first} + failureLines(cause, detail)).join(QLatin1Char('\r'));
}

QString failureMessage(const QString &first, const QSqlError &error)
{
    return (QStringList{first} + failureLines(error)).join(QLatin1Char('\r'));
}

QString failureMessage(const QString &first, const Result &result)
{
    return failureMessage(first, causeOf(result), result.reason);
}

} // namespace pel::db

#include "db/failure.h"

#include "db/result.h"

#include <QRegularExpression>
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

// What connectionLostReason writes, taken apart: the server, whether the
// outcome is unknown, and the driver's text.
struct LostReason
{
    bool matched = false;
    QString server;
    bool outcomeUnknown = false;
    QString engineText;
};

LostReason lostReason(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^hubungan ke server (.+?) terputus( sebelum server menjawab)?: (.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    return {true, match.captured(1), match.capturedLength(2) > 0, match.captured(3)};
}

bool goneByCodeOrText(const QSqlError &error, const QString &text)
{
    const QString state = error.nativeErrorCode();
    if (state.size() == 5
        && (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") || state == QLatin1String("57P02")
            || state == QLatin1String("57P03")))
        return true;
    for (const char *words : {"server closed the connection unexpectedly", "no connection to the server",
                              "terminating connection due to administrator command", "could not send data to server",
                              "could not receive data from server", "connection to server was lost"})
        if (text.contains(QLatin1String(words), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

bool connectionGone(const QSqlError &error)
{
    return goneByCodeOrText(error, errorText(error));
}

QString connectionLostReason(const QString &server, bool outcomeUnknown, const QString &engineText)
{
    return QStringLiteral("hubungan ke server %1 terputus%2: %3")
        .arg(server, outcomeUnknown ? QStringLiteral(" sebelum server menjawab") : QString(), engineText.simplified());
}

Cause causeOf(const QSqlError &error)
{
    const QString text = errorText(error);
    if (const LostReason lost = lostReason(text); lost.matched)
        return lost.outcomeUnknown ? Cause::ConnectionLostUnknown : Cause::ConnectionLost;
    if (goneByCodeOrText(error, text))
        return Cause::ConnectionLost;
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
    case Cause::ConnectionLost:
        return QStringLiteral("Sebab: hubungan ke server database terputus; tindakan berikutnya akan mencoba "
                              "menghubunginya lagi.");
    case Cause::ConnectionLostUnknown:
        return QStringLiteral("Sebab: hubungan ke server database terputus sebelum server menjawab, jadi belum pasti "
                              "apakah perubahan ini sudah tersimpan; periksalah datanya. Tindakan berikutnya akan "
                              "mencoba menghubungi server lagi.");
    case Cause::Other:
        break;
    }
    return QStringLiteral("Sebab: database menolak perintah.");
}

QStringList failureLines(Cause cause, const QString &detail)
{
    if (cause == Cause::ConnectionLost || cause == Cause::ConnectionLostUnknown) {
        // The line names the server when the reason does.
        if (const LostReason lost = lostReason(detail); lost.matched) {
            QStringList lines{lost.outcomeUnknown
                                  ? QStringLiteral("Sebab: hubungan ke server %1 terputus sebelum server menjawab, "
                                                   "jadi belum pasti apakah perubahan ini sudah tersimpan; periksalah "
                                                   "datanya. Tindakan berikutnya akan mencoba menghubungi server lagi.")
                                        .arg(lost.server)
                                  : QStringLiteral("Sebab: hubungan ke server %1 terputus; tindakan berikutnya akan "
                                                   "mencoba menghubunginya lagi.")
                                        .arg(lost.server)};
            if (!lost.engineText.trimmed().isEmpty())
                lines << QStringLiteral("Detail: ") + lost.engineText.trimmed();
            return lines;
        }
    }
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

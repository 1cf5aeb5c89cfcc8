#include "db/result.h"

#include <QRegularExpression>
#include <QSqlError>

#include <cerrno>
#include <cstring>

namespace pel::db {

namespace {

// SQLite's primary result codes; an extended code carries its primary code
// in its low byte.
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

// Extended constraint codes.
enum SqliteConstraintCode {
    SqliteConstraintCheck = 275,
    SqliteConstraintForeignKey = 787,
    SqliteConstraintNotNull = 1299,
    SqliteConstraintPrimaryKey = 1555,
    SqliteConstraintUnique = 2067,
};

// The SQLSTATE of a PostgreSQL refusal: the driver gives it as the native
// code, and at the end of its text, as "(23505)".
QString sqlState(const QSqlError &error)
{
    if (error.nativeErrorCode().size() == 5 && !error.nativeErrorCode().at(0).isSpace())
        return error.nativeErrorCode();
    static const QRegularExpression atEnd(QStringLiteral("\\(([0-9A-Z]{5})\\)\\s*$"));
    const QRegularExpressionMatch match = atEnd.match(error.databaseText());
    return match.hasMatch() ? match.captured(1) : QString();
}

// A refused check names its constraint: the keys' own checks are "NIS <> ''"
// in SQLite's words and "..._nis_check" on a server.
bool isKeyCheck(const QString &text)
{
    return text.contains(QLatin1String("<> ''")) || text.contains(QLatin1String("_nis_check"), Qt::CaseInsensitive)
           || text.contains(QLatin1String("_kdmatpel_check"), Qt::CaseInsensitive);
}

Cause serverCause(const QString &state, const QString &text)
{
    const auto is = [&state](const char *code) { return state == QLatin1String(code); };
    if (is("23505"))
        return Cause::DuplicateKey;
    if (is("23503") || is("23001"))
        return Cause::Referenced;
    if (is("23502") || (is("23514") && isKeyCheck(text)))
        return Cause::EmptyKey;
    if (is("23514") || state.startsWith(QLatin1String("22")))
        return Cause::NotANumber;
    if (is("55P03") || is("40001") || is("40P01"))
        return Cause::InUse;
    if (is("53100"))
        return Cause::DiskFull;
    if (is("25006"))
        return Cause::NotWritable; // a read-only transaction or server
    if (state.startsWith(QLatin1String("08")) || is("57P01") || is("57P02") || is("57P03"))
        return Cause::ConnectionLost;
    return Cause::Other;
}

Cause sqliteCause(int code, const QString &text)
{
    switch (code) {
    case SqliteConstraintPrimaryKey:
    case SqliteConstraintUnique:
        return Cause::DuplicateKey;
    case SqliteConstraintForeignKey:
        return Cause::Referenced;
    case SqliteConstraintNotNull:
        return Cause::EmptyKey;
    case SqliteConstraintCheck:
        return isKeyCheck(text) ? Cause::EmptyKey : Cause::NotANumber;
    default:
        break;
    }
    switch (code & 0xff) {
    case SqliteConstraint:
    case SqliteMismatch:
        return Cause::NotANumber;
    case SqliteBusy:
    case SqliteLocked:
        return Cause::InUse;
    case SqliteFull:
        return Cause::DiskFull;
    case SqliteNotADb:
        return Cause::NotOurDatabase;
    case SqliteCorrupt:
    case SqliteIoErr:
        return Cause::Damaged;
    case SqliteReadOnly:
    case SqlitePerm:
    case SqliteCantOpen:
        return Cause::NotWritable;
    default:
        return Cause::Other;
    }
}

} // namespace

Result::Kind kindOf(Cause cause)
{
    switch (cause) {
    case Cause::DuplicateKey:
        return Result::Kind::DuplicateKey;
    case Cause::Referenced:
        return Result::Kind::ForeignKey;
    case Cause::EmptyKey:
    case Cause::NotANumber:
        return Result::Kind::BadValue;
    default:
        return Result::Kind::Failure;
    }
}

QString errorText(const QSqlError &error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

Result Result::refused(Cause cause, const QString &reason, const QString &about)
{
    return {kindOf(cause), cause, {}, reason, about, {}, 0};
}

Result Result::from(const QSqlError &error)
{
    const QString text = errorText(error);
    Cause cause = Cause::Other;
    QString code = sqlState(error);
    if (!code.isEmpty()) {
        cause = serverCause(code, text);
    } else {
        bool numeric = false;
        const int number = error.nativeErrorCode().toInt(&numeric);
        if (numeric) {
            code = error.nativeErrorCode();
            cause = sqliteCause(number, text);
        }
    }
    return {kindOf(cause), cause, code, text, {}, {}, 0, Origin::Database};
}

Result Result::fromErrno(int errnoValue, const QString &about)
{
    Cause cause = Cause::Other;
    switch (errnoValue) {
    case ENOSPC:
    case EDQUOT:
        cause = Cause::DiskFull;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        cause = Cause::NotWritable;
        break;
    case ENOENT:
        cause = Cause::NotFound;
        break;
    case EISDIR:
        cause = Cause::IsFolder;
        break;
    case EWOULDBLOCK:
        cause = Cause::InUse;
        break;
    default:
        break;
    }
    return {Kind::Failure, cause, QStringLiteral("errno %1").arg(errnoValue),
            QString::fromLocal8Bit(std::strerror(errnoValue)), about, {}, 0, Origin::File};
}

} // namespace pel::db

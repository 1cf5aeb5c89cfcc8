#include "db/failure.h"

#include <QSqlError>

namespace pel::db {

bool connectionGone(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    if (state.size() == 5
        && (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") || state == QLatin1String("57P02")
            || state == QLatin1String("57P03")))
        return true;
    const QString text = errorText(error);
    for (const char *words : {"server closed the connection unexpectedly", "no connection to the server",
                              "terminating connection due to administrator command", "could not send data to server",
                              "could not receive data from server", "connection to server was lost"})
        if (text.contains(QLatin1String(words), Qt::CaseInsensitive))
            return true;
    return false;
}

QString causeLine(Cause cause)
{
    switch (cause) {
    case Cause::None:
        return {};
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

QStringList failureLines(const Result &result)
{
    QStringList lines;
    if (result.server.isEmpty()) {
        if (const QString line = causeLine(result.cause); !line.isEmpty())
            lines << line;
    } else if (result.cause == Cause::ConnectionLostUnknown) {
        lines << QStringLiteral("Sebab: hubungan ke server %1 terputus sebelum server menjawab, jadi belum pasti "
                                "apakah perubahan ini sudah tersimpan; periksalah datanya. Tindakan berikutnya akan "
                                "mencoba menghubungi server lagi.")
                     .arg(result.server);
    } else {
        lines << QStringLiteral("Sebab: hubungan ke server %1 terputus; tindakan berikutnya akan mencoba "
                                "menghubunginya lagi.")
                     .arg(result.server);
    }
    if (!result.reason.trimmed().isEmpty())
        lines << QStringLiteral("Detail: ") + result.reason.trimmed();
    return lines;
}

QString failureMessage(const QString &first, const Result &result)
{
    QStringList lines{first};
    if (!result.about.isEmpty())
        lines << result.about;
    return (lines + failureLines(result)).join(QLatin1Char('\r'));
}

QString failureMessage(const Result &result)
{
    QStringList lines = failureLines(result);
    if (!result.about.isEmpty())
        lines.prepend(result.about);
    return lines.join(QLatin1Char('\r'));
}

} // namespace pel::db

#include "students/studententry.h"

#include "db/recordset.h"


namespace pel::students {

db::StudentRecord studentFromRecordset(const db::Recordset &rs)
{
    const auto text = [&rs](const char *column) {
        const QVariant value = rs.value(QString::fromLatin1(column));
        return value.isNull() ? QString() : value.toString();
    };
    db::StudentRecord s;
    s.nis = text("NIS");
    s.namaSiswa = text("NamaSiswa");
    s.tptLahir = text("TptLahir");
    s.tglLahir = text("TglLahir");
    s.alamat = text("Alamat");
    s.jenisKelamin = text("JenisKelamin");
    s.agama = text("Agama");
    s.tglMasuk = text("TglMasuk");
    s.progamJurusan = text("ProgamJurusan");
    s.levelTahap = text("LevelTahap");
    s.asalSekolah = text("AsalSekolah");
    s.telpHp = text("TelpHp");
    return s;
}

bool isReferenceRefusal(const QString &reason)
{
    return reason.contains(QStringLiteral("FOREIGN KEY"), Qt::CaseInsensitive);
}

bool isCharacterKey(int key, const QString &text)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;
    default:
        return !text.isEmpty() && text.at(0) != QChar(0x7f);
    }
}

} // namespace pel::students

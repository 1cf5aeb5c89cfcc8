#include "students/studentstore.h"

#include "common/module1.h"
#include "common/statement.h"

namespace pel::students {

namespace {

db::StudentRecord currentStudent()
{
    const auto text = [](const char *column) {
        const QVariant value = dbRecordset.value(QString::fromLatin1(column));
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

} // namespace

db::Result FindStudent(const QString &nis, db::StudentRecord *student)
{
    const db::Result result = OpenRecordset(db::studentLookupSql(nis));
    if (!result.ok())
        return result;
    if (dbRecordset.recordCount() == 0)
        return db::Result::notFound();
    dbRecordset.moveFirst();
    if (student)
        *student = currentStudent();
    return result;
}

db::Result SaveStudent(const db::StudentRecord &student)
{
    return OpenRecordset(db::studentInsertSql(student));
}

db::Result UpdateStudent(const db::StudentRecord &student)
{
    return WriteKeyedRows(db::studentUpdateSql(student));
}

db::Result DeleteStudent(const QString &nis)
{
    return WriteKeyedRows(db::studentDeleteSql(nis));
}

} // namespace pel::students

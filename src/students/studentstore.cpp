#include "students/studentstore.h"

#include "common/module1.h"
#include "common/statement.h"
#include "db/transaction.h"

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

db::Result UpdateStudent(const db::StudentRecord &student, const db::StudentRecord *lookedUp,
                         db::StudentRecord *stored)
{
    if (!lookedUp)
        return WriteKeyedRows(db::studentUpdateSql(student));
    // The write lock first: no other desk writes between the comparison and
    // the update.
    db::Transaction transaction(dbConnection, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return db::Result::from(transaction.lastError());
    db::StudentRecord current;
    const db::Result found = FindStudent(student.nis, &current);
    if (!found.ok())
        return found;
    if (current != *lookedUp) {
        if (stored)
            *stored = current;
        return db::Result::failure(db::Result::Kind::Conflict, {});
    }
    const db::Result updated = WriteKeyedRows(db::studentUpdateSql(student));
    if (!updated.ok())
        return updated;
    if (!transaction.commit())
        return db::Result::from(transaction.lastError());
    return updated;
}

db::Result DeleteStudent(const QString &nis)
{
    return WriteKeyedRows(db::studentDeleteSql(nis));
}

} // namespace pel::students

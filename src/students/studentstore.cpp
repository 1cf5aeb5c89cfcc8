#include "students/studentstore.h"

#include "db/statement.h"

namespace pel::students {

db::Result FindStudent(const db::Connection &conn, const QString &nis, db::StudentRecord *student)
{
    db::Recordset rows;
    const db::Result result = db::find(conn, db::studentLookupSql(nis), &rows);
    if (!result.ok() || !student)
        return result;
    const auto text = [&rows](const char *column) {
        const QVariant value = rows.value(QString::fromLatin1(column));
        return value.isNull() ? QString() : value.toString();
    };
    *student = {text("NIS"),           text("NamaSiswa"),  text("TptLahir"),    text("TglLahir"),
                text("Alamat"),        text("JenisKelamin"), text("Agama"),     text("TglMasuk"),
                text("ProgamJurusan"), text("LevelTahap"), text("AsalSekolah"), text("TelpHp")};
    return result;
}

db::Result SaveStudent(const db::Connection &conn, const db::StudentRecord &student)
{
    return db::run(conn, db::studentInsertSql(student));
}

db::Result UpdateStudent(const db::Connection &conn, const db::StudentRecord &student,
                         const db::StudentRecord *lookedUp, db::StudentRecord *stored)
{
    return db::guardedUpdate(conn, db::studentUpdateSql(student), lookedUp, stored,
                             [&](db::StudentRecord *row) { return FindStudent(conn, student.nis, row); });
}

db::Result DeleteStudent(const db::Connection &conn, const QString &nis)
{
    return db::writeKeyed(conn, db::studentDeleteSql(nis));
}

} // namespace pel::students

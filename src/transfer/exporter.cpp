#include "transfer/exporter.h"

#include "db/connection.h"
#include "db/filewriter.h"
#include "db/schema.h"
#include "transfer/csv.h"
#include "transfer/sheetfile.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace pel::transfer {

std::optional<Format> formatForPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return Format::Csv;
    if (suffix == QLatin1String("xlsx"))
        return Format::Xlsx;
    return std::nullopt;
}

namespace {

// The rows in the table's own order: SQLite's rowid, a server's insertion
// order (Urutan, which is no column of the file).
QString selectStatement(Table table, bool postgres)
{
    const auto everyRow = [postgres](const QString &name) {
        return postgres ? QStringLiteral("select %1 from %2 order by Urutan")
                              .arg(db::schemaColumns(name).join(QStringLiteral(", ")), name)
                        : QStringLiteral("select * from %1 order by rowid").arg(name);
    };
    switch (table) {
    case Table::Students: return everyRow(QStringLiteral("SISWA"));
    case Table::Subjects: return everyRow(QStringLiteral("Pelajaran"));
    case Table::Grades: break;
    }
    return QStringLiteral(
        "select n.Noreg, n.TglProses, n.Nis, s.NamaSiswa, n.Program, n.Jenjang, n.KdMatpel, p.NmMatpel, n.SKS, "
        "n.Tentor, n.Nilangka, n.Nilhu, n.Bobot, n.Mutu, n.Prediket, n.Ket "
        "from Nilai n left join SISWA s on s.NIS = n.Nis left join Pelajaran p on p.KdMatpel = n.KdMatpel "
        "order by n.")
        + (postgres ? QStringLiteral("Urutan") : QStringLiteral("rowid"));
}

bool isNumber(const QVariant &value)
{
    const int type = value.metaType().id();
    return type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int;
}

QString numberText(double value, char separator)
{
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (separator == ';')
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QStringList header(Table table)
{
    QStringList names;
    for (const Column &column : columns(table))
        names << column.name;
    return names;
}

// The file's own first line on a failure to write it.
db::Result cannotWrite(const QString &path, db::Result failure)
{
    return failure.withAbout(QStringLiteral("File \"%1\" tidak dapat ditulis.").arg(path));
}

db::Result exportCsv(const db::Connection &conn, QSqlQuery &query, Table table, const QString &path, char separator)
{
    db::FileWriter file(path);
    if (const db::Result opened = file.open(); !opened.ok())
        return cannotWrite(path, opened);
    QByteArray buffer(Utf8Bom);
    buffer += CsvLine(header(table), separator);
    const int count = query.record().count();
    QStringList cells;
    int rows = 0;
    while (query.next()) {
        cells.clear();
        for (int i = 0; i < count; ++i) {
            const QVariant value = query.value(i);
            // A text a spreadsheet would run as a formula is kept a text.
            cells << (isNumber(value) ? numberText(value.toDouble(), separator) : neutralised(value.toString()));
        }
        buffer += CsvLine(cells, separator);
        ++rows;
        if (buffer.size() > (1 << 20)) {
            if (const db::Result written = file.write(buffer); !written.ok())
                return cannotWrite(path, written);
            buffer.clear();
        }
    }
    if (query.lastError().isValid())
        return conn.refused(query.lastError());
    if (const db::Result written = file.write(buffer); !written.ok())
        return cannotWrite(path, written);
    if (const db::Result committed = file.commit(); !committed.ok())
        return cannotWrite(path, committed);
    return db::Result::success(rows);
}

db::Result exportXlsx(const db::Connection &conn, QSqlQuery &query, Table table, const QString &path)
{
    const std::vector<Column> &fileColumns = columns(table);
    SheetFile sheet(path, table, fileColumns);
    if (const db::Result opened = sheet.open(); !opened.ok())
        return opened;
    const int count = query.record().count();
    int row = 0;
    while (query.next()) {
        if (row == SheetFile::MaxRows)
            return db::Result::failed(
                QStringLiteral("Tabel terlalu besar untuk satu lembar Excel (paling banyak %1 baris)").arg(row));
        ++row;
        for (int c = 0; c < count; ++c) {
            const QVariant value = query.value(c);
            if (value.isNull())
                continue;
            // A key or a telephone number is a text even where the engine
            // hands it over as a number.
            if (isNumber(value) && fileColumns[size_t(c)].code == Code::None)
                sheet.writeNumber(row, c, value.toDouble());
            else
                sheet.writeText(row, c, value.toString());
        }
    }
    if (query.lastError().isValid())
        return conn.refused(query.lastError());
    return sheet.commit(row);
}

} // namespace

db::Result exportTable(const db::Connection &conn, Table table, const QString &path, char separator)
{
    const std::optional<Format> format = formatForPath(path);
    if (!format)
        return db::Result::rejected(db::Result::Kind::BadValue,
                                    QStringLiteral("Nama file harus berakhiran .csv atau .xlsx: %1").arg(path));
    if (separator != ',' && separator != ';')
        return db::Result::rejected(db::Result::Kind::BadValue, QStringLiteral("Pemisah harus ',' atau ';'"));
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.exec(selectStatement(table, conn.isPostgres())))
        return conn.refused(query.lastError());
    return *format == Format::Csv ? exportCsv(conn, query, table, path, separator)
                                  : exportXlsx(conn, query, table, path);
}

db::Result writeTemplate(Table table, const QString &path)
{
    const std::optional<Format> format = formatForPath(path);
    if (!format)
        return db::Result::rejected(db::Result::Kind::BadValue,
                                    QStringLiteral("Nama file harus berakhiran .csv atau .xlsx: %1").arg(path));
    if (*format == Format::Xlsx) {
        SheetFile sheet(path, table, templateColumns(table));
        const db::Result opened = sheet.open();
        return opened.ok() ? sheet.commit(0) : opened;
    }
    db::FileWriter file(path);
    db::Result written = file.open();
    if (written.ok())
        written = file.write(QByteArray(Utf8Bom) + CsvLine(templateColumnNames(table), ','));
    if (written.ok())
        written = file.commit();
    return written.ok() ? written : cannotWrite(path, written);
}

} // namespace pel::transfer

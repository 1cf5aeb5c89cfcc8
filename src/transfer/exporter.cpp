#include "transfer/exporter.h"

#include "db/connection.h"
#include "db/filewriter.h"
#include "db/schema.h"
#include "transfer/csv.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <xlsxwriter.h>

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
    // The workbook writer writes the file the file writer made for it, which
    // takes the name when it is complete.
    db::FileWriter file(path);
    if (const db::Result opened = file.open(); !opened.ok())
        return cannotWrite(path, opened);
    const QByteArray temporaryName = QFile::encodeName(file.temporaryPath());
    auto fail = [&](const db::Result &failure) {
        file.discard();
        return failure;
    };

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    lxw_workbook *workbook = workbook_new_opt(temporaryName.constData(), &options);
    if (!workbook)
        return fail(db::Result::failed(QStringLiteral("File \"%1\" tidak dapat dibuat.").arg(path)));
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, sqlTableName(table).toUtf8().constData());
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);

    const QStringList names = header(table);
    for (int c = 0; c < names.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), names.at(c).toUtf8().constData(), bold);
    worksheet_freeze_panes(sheet, 1, 0);

    const int count = query.record().count();
    lxw_row_t row = 0;
    lxw_error error = LXW_NO_ERROR;
    while (error == LXW_NO_ERROR && query.next()) {
        if (row + 1 >= LXW_ROW_MAX) {
            workbook_close(workbook);
            return fail(db::Result::failed(QStringLiteral("Tabel terlalu besar untuk satu lembar Excel (paling banyak "
                                                          "%1 baris)")
                                               .arg(LXW_ROW_MAX - 1)));
        }
        ++row;
        for (int c = 0; c < count && error == LXW_NO_ERROR; ++c) {
            const QVariant value = query.value(c);
            if (value.isNull())
                continue;
            if (isNumber(value))
                error = worksheet_write_number(sheet, row, lxw_col_t(c), value.toDouble(), nullptr);
            else
                error = worksheet_write_string(sheet, row, lxw_col_t(c), value.toString().toUtf8().constData(), nullptr);
        }
    }
    if (query.lastError().isValid()) {
        workbook_close(workbook);
        return fail(conn.refused(query.lastError()));
    }
    worksheet_autofilter(sheet, 0, 0, row, lxw_col_t(names.size() - 1));
    const lxw_error closed = workbook_close(workbook);
    if (error != LXW_NO_ERROR || closed != LXW_NO_ERROR)
        return fail(db::Result::failed(QStringLiteral("File \"%1\" tidak dapat ditulis: %2")
                                           .arg(path, QString::fromUtf8(lxw_strerror(error != LXW_NO_ERROR ? error
                                                                                                          : closed)))));
    if (const db::Result committed = file.commit(); !committed.ok())
        return cannotWrite(path, committed);
    return db::Result::success(int(row));
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

} // namespace pel::transfer

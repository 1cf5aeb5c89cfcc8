#include "transfer/sheetfile.h"

#include <QDate>
#include <QFile>

#include <xlsxwriter.h>

namespace pel::transfer {

const int SheetFile::MaxRows = LXW_ROW_MAX - 1;

SheetFile::SheetFile(const QString &path, Table table, std::vector<Column> columns)
    : m_path(path), m_table(table), m_columns(std::move(columns)), m_file(path)
{
}

// The file writer removes its temporary file unless it was committed.
SheetFile::~SheetFile()
{
    if (m_workbook)
        workbook_close(m_workbook);
}

db::Result SheetFile::failure(const QString &why)
{
    if (m_workbook)
        workbook_close(m_workbook);
    m_workbook = nullptr;
    m_file.discard();
    return db::Result::failed(QStringLiteral("File \"%1\" tidak dapat ditulis: %2").arg(m_path, why));
}

db::Result SheetFile::open()
{
    // The workbook writer writes the file the file writer made for it, which
    // takes the name when it is complete.
    if (const db::Result opened = m_file.open(); !opened.ok())
        return opened.withAbout(QStringLiteral("File \"%1\" tidak dapat ditulis.").arg(m_path));
    const QByteArray temporaryName = QFile::encodeName(m_file.temporaryPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    m_workbook = workbook_new_opt(temporaryName.constData(), &options);
    if (!m_workbook) {
        m_file.discard();
        return db::Result::failed(QStringLiteral("File \"%1\" tidak dapat dibuat.").arg(m_path));
    }
    m_sheet = workbook_add_worksheet(m_workbook, sqlTableName(m_table).toUtf8().constData());
    lxw_format *bold = workbook_add_format(m_workbook);
    format_set_bold(bold);
    m_text = workbook_add_format(m_workbook);
    format_set_num_format(m_text, "@");
    m_date = workbook_add_format(m_workbook);
    format_set_num_format(m_date, "dd-mm-yyyy");

    // Whole columns carry their format, so that a value typed below the
    // last row is taken as the column wants it.
    for (int c = 0; c < int(m_columns.size()); ++c) {
        const Column &column = m_columns[size_t(c)];
        if (column.code != Code::None)
            worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), 16, m_text);
        else if (column.kind == Kind::Date)
            worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), 12, m_date);
    }
    for (int c = 0; c < int(m_columns.size()); ++c)
        worksheet_write_string(m_sheet, 0, lxw_col_t(c), m_columns[size_t(c)].name.toUtf8().constData(), bold);
    worksheet_freeze_panes(m_sheet, 1, 0);
    return db::Result::success();
}

void SheetFile::writeText(int row, int c, const QString &text)
{
    if (m_error != LXW_NO_ERROR || text.isEmpty())
        return;
    const Column &column = m_columns[size_t(c)];
    lxw_error error = LXW_NO_ERROR;
    if (column.kind == Kind::Date) {
        // A stored date that is no calendar date, or one before the
        // spreadsheets' first day, stays a text.
        const QDate date = QDate::fromString(text, QStringLiteral("dd-MM-yyyy"));
        if (date.isValid() && date.year() >= 1900) {
            lxw_datetime moment{date.year(), date.month(), date.day(), 0, 0, 0};
            error = worksheet_write_datetime(m_sheet, lxw_row_t(row), lxw_col_t(c), &moment, m_date);
        } else {
            error = worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(c), text.toUtf8().constData(), m_text);
        }
    } else {
        error = worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(c), text.toUtf8().constData(),
                                       column.code != Code::None ? m_text : nullptr);
    }
    m_error = error;
}

void SheetFile::writeNumber(int row, int c, double value)
{
    if (m_error == LXW_NO_ERROR)
        m_error = worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(c), value, nullptr);
}

db::Result SheetFile::commit(int lastRow)
{
    if (m_error != LXW_NO_ERROR)
        return failure(QString::fromUtf8(lxw_strerror(lxw_error(m_error))));
    worksheet_autofilter(m_sheet, 0, 0, lxw_row_t(lastRow), lxw_col_t(m_columns.size() - 1));
    const lxw_error closed = workbook_close(m_workbook);
    m_workbook = nullptr;
    if (closed != LXW_NO_ERROR)
        return failure(QString::fromUtf8(lxw_strerror(closed)));
    if (const db::Result committed = m_file.commit(); !committed.ok())
        return committed.withAbout(QStringLiteral("File \"%1\" tidak dapat ditulis.").arg(m_path));
    return db::Result::success(lastRow);
}

} // namespace pel::transfer

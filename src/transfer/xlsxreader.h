#pragma once

#include "db/result.h"
#include "transfer/records.h"

#include <QString>
#include <QXmlStreamReader>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Reading one sheet of an Excel workbook (.xlsx, as spreadsheet programs
// save it) row by row, each cell as a text with its type: text cells
// (shared or inline strings, a formula's text), numbers, logical values,
// dates (a number shown in a date format) and formula errors. The zip is
// read with minizip (the zip library the workbook writer uses too), the
// sheet's XML streamed with Qt's reader as it is inflated, so that a large
// sheet is never held in memory whole.
namespace pel::transfer {

class ZipArchive;
class ZipPart;

class XlsxReader : public RecordSource
{
public:
    // The workbook at path; the sheet named sheetName (letter case
    // ignored), else the first one.
    XlsxReader(const QString &path, const QString &sheetName);
    ~XlsxReader() override;

    // Opens the workbook and its sheet: a Failure for a file that is no
    // readable workbook.
    db::Result open();

    // The next row that has cells; the row's number is record.line. Every
    // row is as wide as the first one at least, empty cells filled in.
    // Malformed: the sheet's XML is broken there (nothing after it is read)
    // or a cell names a text the workbook does not hold.
    Status next(Record &record, QString *problem = nullptr) override;
    qint64 position() const override;
    qint64 size() const override;
    qint64 expectedRecords() const override { return m_expectedRows; }
    std::unique_ptr<RecordSource> restarted() const override;

    // What the workbook holds beside its sheets, read once and shared by
    // the readers of one file.
    struct Book;

private:
    explicit XlsxReader(std::shared_ptr<const Book> book);
    db::Result openSheet();
    bool readCell(int column, QString *problem);
    void putCell(int column, CellType type, std::string_view text);

    QString m_path;
    QString m_sheetName;
    std::shared_ptr<const Book> m_book;
    std::unique_ptr<ZipArchive> m_zip;
    std::unique_ptr<ZipPart> m_entry;
    QXmlStreamReader m_xml;
    qint64 m_size = 0;
    qint64 m_expectedRows = 0;
    int m_width = -1; // the first row's width, once read
    int m_lastRow = 0;
    bool m_done = false;
    std::string m_scratch;
    std::string m_cellText;
    std::vector<std::pair<size_t, size_t>> m_spans; // per column: offset and length in m_scratch
    std::vector<CellType> m_types;
};

} // namespace pel::transfer

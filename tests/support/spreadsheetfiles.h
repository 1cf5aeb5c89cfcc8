#pragma once

// The files a spreadsheet program saved (tests/transfer/libreoffice, made
// once by scripts/make-spreadsheet-files), and the rows they were exported
// from, so that a test puts the same rows into its own database.
#include <QFile>
#include <QString>
#include <QStringList>

namespace pel::test {

inline QString spreadsheetFile(const QString &name)
{
    return QStringLiteral(PELITAKSA_SPREADSHEET_FILES "/") + name;
}

// The statements of records.sql, one a line.
inline QStringList spreadsheetRecords()
{
    QFile file(spreadsheetFile(QStringLiteral("records.sql")));
    QStringList statements;
    if (!file.open(QIODevice::ReadOnly))
        return statements;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith("insert "))
            statements << QString::fromUtf8(line.trimmed().chopped(1));
    return statements;
}

} // namespace pel::test

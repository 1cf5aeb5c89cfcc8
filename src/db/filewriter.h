#pragma once

#include "db/result.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

// The one way the program and the tool write a file: report files, reports
// saved as PDF, pictures of the statistics, CSV and Excel exports and
// templates, the import's errors file, backups. The file is written to a
// temporary file beside it, made new (never through a link at any name) and
// readable by its owner only, and put in its place in one step only when it
// is complete and on the disk: until then the previous file stays whole under
// its name, whatever happens to this run (a crash, a full disk, a failing
// write). A link planted at the name is replaced, never followed. Two runs at
// once each put their own complete file in place; the later one stays. A
// device or a named pipe at the name (/dev/null, a FIFO) and the standard
// output ("-") are written to as they are, never replaced.
namespace pel::db {

class FileWriter
{
public:
    explicit FileWriter(const QString &path);
    // The name that means the process's standard output.
    static constexpr char StandardOutput[] = "-";
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    // Creates the temporary file.
    Result open();
    // Adds bytes (kept in memory until flush(), or until enough have gathered).
    Result write(QByteArrayView bytes);
    Result writeText(const QString &text) { return write(QByteArrayView(text.toUtf8())); }
    // Hands what was gathered to the temporary file.
    Result flush();
    // Writes the rest, makes sure it reached the disk, and puts the file in
    // place of the old one.
    Result commit();
    // Removes the temporary file; the old file stays as it was.
    void discard();

    QString path() const { return m_path; }
    // The temporary file while the file is written, for a library that
    // writes a file by its name (the workbook writer, SQLite's backup): it
    // writes there, and commit() puts it in place.
    QString temporaryPath() const { return m_file.fileName(); }

private:
    Result fail(const Result &failure);
    Result failErrno(int errnoValue);
    Result failDevice(const QFileDevice &device);

    QString m_path;
    QTemporaryFile m_file;
    QFile m_stdout;
    bool m_direct = false; // standard output, a device or a pipe: written straight, nothing to put in place
    QByteArray m_pending;
    Result m_failure;
};

} // namespace pel::db

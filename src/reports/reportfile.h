#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

// The text file of a file report ("Data Siswa.txt", "IPK.txt", or the file
// the administration tool is told to write). The report is written to a
// temporary file beside it, readable by its owner only, and put in its place
// in one step only when it is complete: until then the previous report stays
// whole under its name, whatever happens to this run (a crash, a full disk, a
// failing write). A link planted at the name is replaced, never followed.
// Two runs at once each put their own complete file in place; the later one
// stays. A device or a named pipe at the name (/dev/null, a FIFO) is written
// to as it is, never replaced.
namespace pel::reports {

class ReportFile
{
public:
    explicit ReportFile(const QString &path);
    // A report that goes to the process's standard output instead of a file.
    static constexpr char StandardOutput[] = "-";
    ~ReportFile();
    ReportFile(const ReportFile &) = delete;
    ReportFile &operator=(const ReportFile &) = delete;

    // Creates the temporary file.
    bool open();
    // Adds bytes to the text (kept in memory until flush(), or until enough
    // have gathered).
    bool write(QByteArrayView bytes);
    bool writeText(const QString &text) { return write(QByteArrayView(text.toUtf8())); }
    // Hands what was gathered to the temporary file.
    bool flush();
    // Writes the rest, makes sure it reached the disk, and puts the file in
    // place of the old one.
    bool commit();
    // Removes the temporary file; the old report stays as it was.
    void discard();

    QString path() const { return m_path; }
    // The temporary file while the report is written.
    QString temporaryPath() const { return m_file.fileName(); }
    // Why the last step failed, in the system's words.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &reason);

    QString m_path;
    QTemporaryFile m_file;
    QFile m_stdout;
    bool m_direct = false; // standard output, a device or a pipe: written straight, nothing to put in place
    QByteArray m_pending;
    QString m_error;
    bool m_failed = false;
};

} // namespace pel::reports

#pragma once

#include <QFile>
#include <QString>

// The text file of a file report ("Data Siswa.txt", "IPK.txt"). While the
// report is written, the file always holds the report's text so far and one
// CR LF after it; when the report is done, the whole report and one CR LF.
// Each piece costs only its own bytes: the file stays open, the new piece
// goes over the closing CR LF and a new CR LF follows it.
namespace pel::reports {

class ReportFile
{
public:
    explicit ReportFile(const QString &path);
    ~ReportFile();
    ReportFile(const ReportFile &) = delete;
    ReportFile &operator=(const ReportFile &) = delete;

    // Creates (or empties) the file, writes the header and one CR LF, and
    // reads the file back whole into text: the header and its CR LF.
    bool start(const QString &header, QString *text);
    // Adds a piece to the text in the file.
    bool append(const QString &piece);
    // Closes the finished file.
    bool finish();
    // Closes and removes an unfinished file, so that no part of a report
    // lies on disk as if it were the whole one.
    void discard();

    QString path() const { return m_file.fileName(); }
    // Why the last step failed, in the system's words.
    QString errorString() const { return m_error; }

private:
    bool fail();

    QFile m_file;
    qint64 m_textEnd = 0; // where the closing CR LF begins
    QString m_error;
};

} // namespace pel::reports

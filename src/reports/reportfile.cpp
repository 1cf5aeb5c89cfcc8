#include "reports/reportfile.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace pel::reports {

namespace {
// Bytes gathered before they go to the file in one write.
constexpr qsizetype WriteChunk = 1 << 18;
} // namespace

ReportFile::ReportFile(const QString &path)
    : m_path(path), m_file(QFileInfo(path).absoluteFilePath() + QStringLiteral(".XXXXXX")),
      m_direct(path == QLatin1String(StandardOutput))
{
    m_file.setAutoRemove(true);
}

ReportFile::~ReportFile() = default;

bool ReportFile::fail(const QString &reason)
{
    m_failed = true;
    m_error = reason;
    return false;
}

bool ReportFile::open()
{
    if (m_direct) {
        if (!m_stdout.open(stdout, QIODevice::WriteOnly))
            return fail(m_stdout.errorString());
        return true;
    }
    // A device or a pipe at the name (/dev/null, a named pipe) is written
    // straight: putting a file in its place would remove the device.
    struct stat status {};
    if (::lstat(QFile::encodeName(m_path).constData(), &status) == 0
        && (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode))) {
        m_stdout.setFileName(m_path);
        if (!m_stdout.open(QIODevice::WriteOnly))
            return fail(m_stdout.errorString());
        m_direct = true;
        return true;
    }
    // A folder at the name could never be replaced: say so before the work.
    if (QFileInfo(m_path).isDir() && !QFileInfo(m_path).isSymLink())
        return fail(QStringLiteral("Sudah ada folder dengan nama itu."));
    // The temporary file is made new (never through an existing name) and
    // readable and writable by its owner only.
    if (!m_file.open())
        return fail(m_file.errorString());
    return true;
}

bool ReportFile::write(QByteArrayView bytes)
{
    if (m_failed)
        return false;
    m_pending.append(bytes);
    return m_pending.size() < WriteChunk || flush();
}

bool ReportFile::flush()
{
    if (m_failed)
        return false;
    QFile &out = m_direct ? static_cast<QFile &>(m_stdout) : m_file;
    if (!out.isOpen())
        return fail(QStringLiteral("File tidak terbuka."));
    if (!m_pending.isEmpty()) {
        if (out.write(m_pending) != m_pending.size())
            return fail(out.errorString());
        m_pending.resize(0); // the buffer stays for the next bytes
    }
    if (!out.flush())
        return fail(out.errorString());
    return true;
}

bool ReportFile::commit()
{
    if (!flush())
        return false;
    if (m_direct)
        return true;
    if (::fdatasync(m_file.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    const QByteArray from = QFile::encodeName(m_file.fileName());
    const QByteArray to = QFile::encodeName(m_path);
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail(m_file.errorString());
    // One step: the name holds the old file or the new one, never a part.
    // rename() replaces a link at the name; it does not write through it.
    if (std::rename(from.constData(), to.constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    m_file.setAutoRemove(false);
    return true;
}

void ReportFile::discard()
{
    m_pending.clear();
    m_file.close();
    m_file.remove();
}

} // namespace pel::reports

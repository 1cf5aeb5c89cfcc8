#include "db/filewriter.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace pel::db {

namespace {
// Bytes gathered before they go to the file in one write.
constexpr qsizetype WriteChunk = 1 << 18;

// errno as the file device left it: a write or flush that failed sets it.
int lastErrno()
{
    return errno != 0 ? errno : EIO;
}
} // namespace

FileWriter::FileWriter(const QString &path)
    : m_path(path), m_file(QFileInfo(path).absoluteFilePath() + QStringLiteral(".XXXXXX")),
      m_direct(path == QLatin1String(StandardOutput))
{
    m_file.setAutoRemove(true);
}

FileWriter::~FileWriter() = default;

Result FileWriter::fail(const Result &failure)
{
    m_failure = failure;
    return failure;
}

Result FileWriter::failErrno(int errnoValue)
{
    return fail(Result::fromErrno(errnoValue, QStringLiteral("File \"%1\" tidak dapat ditulis.").arg(m_path)));
}

Result FileWriter::failDevice(const QFileDevice &device)
{
    Result failure = Result::fromErrno(lastErrno(), QStringLiteral("File \"%1\" tidak dapat ditulis.").arg(m_path));
    if (!device.errorString().isEmpty())
        failure.reason = device.errorString();
    return fail(failure);
}

Result FileWriter::open()
{
    errno = 0;
    if (m_direct) {
        if (!m_stdout.open(stdout, QIODevice::WriteOnly))
            return failDevice(m_stdout);
        return Result::success();
    }
    // A device or a pipe at the name (/dev/null, a named pipe) is written
    // straight: putting a file in its place would remove the device.
    struct stat status {};
    if (::lstat(QFile::encodeName(m_path).constData(), &status) == 0
        && (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode))) {
        m_stdout.setFileName(m_path);
        if (!m_stdout.open(QIODevice::WriteOnly))
            return failDevice(m_stdout);
        m_direct = true;
        return Result::success();
    }
    // A folder at the name could never be replaced: say so before the work.
    if (QFileInfo(m_path).isDir() && !QFileInfo(m_path).isSymLink())
    {
        Result folder = Result::refused(Cause::IsFolder, QStringLiteral("Sudah ada folder dengan nama itu."),
                                        QStringLiteral("File \"%1\" tidak dapat ditulis.").arg(m_path));
        folder.origin = Result::Origin::File;
        return fail(folder);
    }
    // The temporary file is made new (never through an existing name) and
    // readable and writable by its owner only.
    if (!m_file.open())
        return failDevice(m_file);
    return Result::success();
}

Result FileWriter::write(QByteArrayView bytes)
{
    if (!m_failure.ok())
        return m_failure;
    m_pending.append(bytes);
    return m_pending.size() < WriteChunk ? Result::success() : flush();
}

Result FileWriter::flush()
{
    if (!m_failure.ok())
        return m_failure;
    QFile &out = m_direct ? static_cast<QFile &>(m_stdout) : m_file;
    if (!out.isOpen())
    {
        Result closed = Result::failed(QStringLiteral("File \"%1\" tidak terbuka.").arg(m_path));
        closed.origin = Result::Origin::File;
        return fail(closed);
    }
    errno = 0;
    if (!m_pending.isEmpty()) {
        if (out.write(m_pending) != m_pending.size())
            return failDevice(out);
        m_pending.resize(0); // the buffer stays for the next bytes
    }
    if (!out.flush())
        return failDevice(out);
    return Result::success();
}

Result FileWriter::commit()
{
    if (const Result flushed = flush(); !flushed.ok())
        return flushed;
    if (m_direct)
        return Result::success();
    if (::fdatasync(m_file.handle()) != 0)
        return failErrno(errno);
    const QByteArray from = QFile::encodeName(m_file.fileName());
    const QByteArray to = QFile::encodeName(m_path);
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return failDevice(m_file);
    // One step: the name holds the old file or the new one, never a part.
    // rename() replaces a link at the name; it does not write through it.
    if (std::rename(from.constData(), to.constData()) != 0)
        return failErrno(errno);
    m_file.setAutoRemove(false);
    return Result::success();
}

void FileWriter::discard()
{
    m_pending.clear();
    m_file.close();
    m_file.remove();
}

} // namespace pel::db

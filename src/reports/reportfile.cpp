#include "reports/reportfile.h"

namespace pel::reports {

namespace {
const QByteArray LineEnd = QByteArrayLiteral("\r\n");
}

ReportFile::ReportFile(const QString &path) : m_file(path) {}

ReportFile::~ReportFile()
{
    m_file.close();
}

bool ReportFile::fail()
{
    m_error = m_file.errorString();
    return false;
}

bool ReportFile::start(const QString &header, QString *text)
{
    m_file.close();
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail();
    const QByteArray bytes = header.toUtf8() + LineEnd;
    if (m_file.write(bytes) != bytes.size())
        return fail();
    m_file.close();

    // The text goes on from what the file holds.
    if (!m_file.open(QIODevice::ReadOnly))
        return fail();
    const QByteArray back = m_file.readAll();
    if (m_file.error() != QFileDevice::NoError)
        return fail();
    m_file.close();
    if (back != bytes) {
        m_error = QStringLiteral("Isi file tidak sama dengan yang ditulis.");
        return false;
    }
    *text = QString::fromUtf8(back);

    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return fail();
    m_textEnd = back.size();
    return true;
}

bool ReportFile::append(const QString &piece)
{
    const QByteArray bytes = piece.toUtf8();
    if (!m_file.isOpen()) {
        m_error = QStringLiteral("File tidak terbuka.");
        return false;
    }
    if (!m_file.seek(m_textEnd))
        return fail();
    const QByteArray chunk = bytes + LineEnd;
    if (m_file.write(chunk) != chunk.size())
        return fail();
    m_textEnd += bytes.size();
    return true;
}

bool ReportFile::finish()
{
    if (!m_file.isOpen()) {
        m_error = QStringLiteral("File tidak terbuka.");
        return false;
    }
    // Make sure the bytes reached the disk's cache before the file is called done.
    if (!m_file.flush())
        return fail();
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail();
    return true;
}

void ReportFile::discard()
{
    m_file.close();
    m_file.remove();
}

} // namespace pel::reports

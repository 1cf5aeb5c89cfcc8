#include "transfer/zippart.h"

#include <QFile>

#include <minizip/unzip.h>

#include <algorithm>

namespace pel::transfer {

ZipArchive::ZipArchive(const QString &path) : m_zip(unzOpen64(QFile::encodeName(path).constData())) {}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        unzClose(m_zip);
}

bool ZipArchive::find(const QString &name)
{
    return m_zip && unzLocateFile(m_zip, name.toUtf8().constData(), 2) == UNZ_OK;
}

ZipPart::~ZipPart()
{
    if (isOpen() && !m_finished)
        unzCloseCurrentFile(m_zip.handle());
}

bool ZipPart::openPart(qint64 *size)
{
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(m_zip.handle(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK
        || unzOpenCurrentFile(m_zip.handle()) != UNZ_OK)
        return false;
    *size = qint64(info.uncompressed_size);
    return open(QIODevice::ReadOnly);
}

qint64 ZipPart::readData(char *data, qint64 maxSize)
{
    if (m_finished)
        return -1;
    const int read = unzReadCurrentFile(m_zip.handle(), data, unsigned(std::min<qint64>(maxSize, 1 << 20)));
    if (read > 0) {
        m_delivered += read;
        return read;
    }
    m_finished = true;
    // The checksum is compared when the part is closed.
    if (unzCloseCurrentFile(m_zip.handle()) != UNZ_OK || read < 0)
        m_damaged = true;
    return -1;
}

bool readPart(ZipArchive &zip, const QString &name, QByteArray *bytes)
{
    qint64 size = 0;
    if (!zip.find(name))
        return false;
    ZipPart part(zip);
    if (!part.openPart(&size))
        return false;
    *bytes = part.readAll();
    return !part.damaged();
}

} // namespace pel::transfer

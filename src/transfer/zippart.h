#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// The parts of a zip file (an Excel workbook), read with minizip: the zip
// library the workbook writer links too, so that one copy of its functions
// serves both.
namespace pel::transfer {

// A workbook's zip, open for reading.
class ZipArchive
{
public:
    explicit ZipArchive(const QString &path);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    // Makes the part named name (letter case ignored) the current one.
    bool find(const QString &name);
    void *handle() const { return m_zip; }

private:
    void *m_zip; // minizip's unzFile
};

// The current part of a zip, inflated as it is read.
class ZipPart : public QIODevice
{
public:
    explicit ZipPart(ZipArchive &zip) : m_zip(zip) {}
    ~ZipPart() override;

    // Opens the current part; its size, once inflated, in *size.
    bool openPart(qint64 *size);
    bool isSequential() const override { return true; }
    qint64 delivered() const { return m_delivered; }
    // The part could not be inflated, or its checksum does not match.
    bool damaged() const { return m_damaged; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    ZipArchive &m_zip;
    qint64 m_delivered = 0;
    bool m_finished = false;
    bool m_damaged = false;
};

// A whole part; false when it is missing or damaged.
bool readPart(ZipArchive &zip, const QString &name, QByteArray *bytes);

} // namespace pel::transfer

#pragma once
#include <QByteArray>
#include <QString>

class QIODevice;

// Reads parts of a zip archive (the container of .xlsx files) from a seekable device,
// never unpacking more of a part than the caller allows.
class ZipArchive
{
public:
    // `device` must be open for reading and outlive the archive.
    explicit ZipArchive(QIODevice *device);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    // False when the device holds no zip archive (nor a readable central directory).
    bool isOpen() const { return m_zip != nullptr; }
    // The number of entries the central directory declares.
    qint64 entryCount() const;

    enum class Result { Ok, Missing, TooLarge, Damaged };
    // Unpacks the part `name` (case-insensitive, as part names of a package are) into `data`.
    // TooLarge when it declares or turns out to hold more than `maxBytes`; Damaged when it is
    // encrypted, packed in a way this reader does not know, or fails its checksum.
    Result read(const QString &name, qint64 maxBytes, QByteArray *data) const;

private:
    QIODevice *m_device;
    void *m_zip = nullptr;
};

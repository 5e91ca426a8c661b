#include "core/workbook/ZipArchive.h"

#include <QIODevice>
#include <limits>
#include <minizip/unzip.h>

namespace
{

// minizip's file functions, served by the QIODevice passed as `opaque`; the archive never
// closes the device, its owner does.
voidpf ZCALLBACK openDevice(voidpf opaque, const void *, int)
{
    return opaque;
}

uLong ZCALLBACK readDevice(voidpf, voidpf stream, void *buffer, uLong size)
{
    const qint64 read = static_cast<QIODevice *>(stream)->read(static_cast<char *>(buffer), qint64(size));
    return read < 0 ? 0 : uLong(read);
}

uLong ZCALLBACK writeDevice(voidpf, voidpf, const void *, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK tellDevice(voidpf, voidpf stream)
{
    return ZPOS64_T(static_cast<QIODevice *>(stream)->pos());
}

long ZCALLBACK seekDevice(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto *device = static_cast<QIODevice *>(stream);
    qint64 base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = device->pos();
    if (origin == ZLIB_FILEFUNC_SEEK_END) base = device->size();
    if (offset > ZPOS64_T(std::numeric_limits<qint64>::max() - base)) return -1;
    const qint64 target = base + qint64(offset);
    return target <= device->size() && device->seek(target) ? 0 : -1;
}

int ZCALLBACK closeDevice(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK deviceError(voidpf, voidpf)
{
    return 0;
}

constexpr qint64 ChunkBytes = 64 * 1024;
constexpr quint64 MaxDeflateRatio = 1032;

} // namespace

ZipArchive::ZipArchive(QIODevice *device) : m_device(device)
{
    zlib_filefunc64_def functions{openDevice, readDevice,  writeDevice, tellDevice,
                                  seekDevice, closeDevice, deviceError, device};
    // minizip passes the name to the open function only, which ignores it.
    m_zip = unzOpen2_64("", &functions);
}

ZipArchive::~ZipArchive()
{
    if (m_zip) unzClose(m_zip);
}

qint64 ZipArchive::entryCount() const
{
    unz_global_info64 info{};
    if (!m_zip || unzGetGlobalInfo64(m_zip, &info) != UNZ_OK) return 0;
    return qint64(qMin<ZPOS64_T>(info.number_entry, ZPOS64_T(std::numeric_limits<qint64>::max())));
}

ZipArchive::Result ZipArchive::read(const QString &name, qint64 maxBytes, QByteArray *data) const
{
    data->clear();
    if (!m_zip) return Result::Missing;
    const int caseInsensitive = 2;
    if (unzLocateFile(m_zip, name.toUtf8().constData(), caseInsensitive) != UNZ_OK) return Result::Missing;

    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return Result::Damaged;
    const bool encrypted = info.flag & 1;
    if (encrypted) return Result::Damaged;
    if (info.uncompressed_size > quint64(maxBytes)) return Result::TooLarge;
    if (unzOpenCurrentFile(m_zip) != UNZ_OK) return Result::Damaged;

    // The declared size is only a claim. Room is made at once for no more than the packed
    // bytes can unpack to (deflate packs at most about 1,032 to 1, and the packed bytes lie
    // in the file), so that a false claim costs no more than a true one; the part grows with
    // what really unpacks, up to the limit.
    const quint64 packed = qMin<quint64>(info.compressed_size, quint64(m_device->size()));
    const quint64 room = qMin(info.uncompressed_size, packed * MaxDeflateRatio + quint64(ChunkBytes));
    data->resize(qsizetype(room));
    qsizetype filled = 0;
    Result result = Result::Ok;
    for (;;) {
        if (filled == data->size()) {
            if (filled >= maxBytes) {
                char beyond = 0; // a part that goes on past the limit
                const int read = unzReadCurrentFile(m_zip, &beyond, 1);
                if (read != 0) result = read < 0 ? Result::Damaged : Result::TooLarge;
                break;
            }
            data->resize(qsizetype(qMin<qint64>(maxBytes, filled + qMax<qint64>(ChunkBytes, filled / 2))));
        }
        const qsizetype wanted = qMin<qsizetype>(data->size() - filled, ChunkBytes * 1024);
        const int read = unzReadCurrentFile(m_zip, data->data() + filled, unsigned(wanted));
        if (read < 0) {
            result = Result::Damaged;
            break;
        }
        if (read == 0) break;
        filled += read;
    }
    data->resize(filled);
    // Checks the CRC once the whole part has been read.
    const int closed = unzCloseCurrentFile(m_zip);
    if (result == Result::Ok && (closed != UNZ_OK || quint64(data->size()) != info.uncompressed_size))
        result = Result::Damaged;
    if (result != Result::Ok) data->clear();
    return result;
}

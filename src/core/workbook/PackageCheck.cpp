#include "core/workbook/PackageCheck.h"

#include <QByteArray>
#include <QFile>
#include <memory>
#include <unzip.h>

namespace
{

struct ZipCloser {
    void operator()(void *zip) const { unzClose(zip); }
};

// The name of the root element of an XML text's beginning; empty when there is none.
QByteArray rootName(const QByteArray &head)
{
    qsizetype at = 0;
    while ((at = head.indexOf('<', at)) >= 0) {
        ++at;
        if (at < head.size() && head.at(at) != '?' && head.at(at) != '!') break;
    }
    if (at < 0) return {};
    qsizetype end = at;
    while (end < head.size() && !QByteArrayView(" \t\r\n/>").contains(head.at(end)))
        ++end;
    return head.mid(at, end - at);
}

bool endsComplete(const QByteArray &head, const QByteArray &tail)
{
    const QByteArray name = rootName(head);
    if (name.isEmpty()) return false;
    const QByteArray end = tail.trimmed();
    if (end.endsWith(QByteArray("</" + name + '>'))) return true;
    // a root element without content: its own tag closes the text
    return end.endsWith("/>") && end.mid(end.lastIndexOf('<')).startsWith(QByteArray('<' + name));
}

// Reads the current entry to its end, keeping its first and last bytes.
int readEntry(void *zip, QByteArray *head, QByteArray *tail)
{
    constexpr qsizetype Keep = 256;
    if (unzOpenCurrentFile(zip) != UNZ_OK) return UNZ_ERRNO;
    char buffer[65536];
    int read = 0;
    while ((read = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
        if (head->size() < Keep) head->append(buffer, qMin<qsizetype>(read, Keep - head->size()));
        tail->append(buffer, read);
        if (tail->size() > Keep) tail->remove(0, tail->size() - Keep);
    }
    const int closed = unzCloseCurrentFile(zip); // checks the entry's CRC
    return read < 0 ? read : closed;
}

} // namespace

bool checkWorkbookPackage(const QString &path, QString *error)
{
    const auto fail = [error](const QString &cause) {
        if (error) *error = cause;
        return false;
    };
    const std::unique_ptr<void, ZipCloser> zip(unzOpen64(QFile::encodeName(path).constData()));
    if (!zip) return fail(QStringLiteral("the written file is no complete workbook"));
    int at = unzGoToFirstFile(zip.get());
    for (; at == UNZ_OK; at = unzGoToNextFile(zip.get())) {
        char name[512] = {};
        if (unzGetCurrentFileInfo64(zip.get(), nullptr, name, sizeof name - 1, nullptr, 0, nullptr, 0) !=
            UNZ_OK)
            return fail(QStringLiteral("the written file is no complete workbook"));
        QByteArray head;
        QByteArray tail;
        if (readEntry(zip.get(), &head, &tail) != UNZ_OK || !endsComplete(head, tail))
            return fail(
                QStringLiteral("the workbook was cut short while it was written (%1); the disk may be full")
                    .arg(QString::fromUtf8(name)));
    }
    return at == UNZ_END_OF_LIST_OF_FILE || fail(QStringLiteral("the written file is no complete workbook"));
}

#pragma once
#include <QByteArray>

#include "core/workbook/SheetCells.h"

// Reads the first worksheet of a workbook in the binary format of the 1997-2003 generation:
// the compound document is opened with libgsf, its workbook stream parsed by BiffWorkbook.
class XlsReader : public SheetReader
{
public:
    // Files larger than this are refused unread.
    static constexpr qint64 maxFileSize = 64 * 1024 * 1024;

    bool read(const QString &path, SheetCells *cells, QString *error) override;
    // The same for a file already in memory; `fileName` names it in messages.
    bool readBytes(const QByteArray &file, SheetCells *cells, QString *error, const QString &fileName = {});
};

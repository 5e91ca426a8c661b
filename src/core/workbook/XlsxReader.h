#pragma once
#include "core/workbook/SheetCells.h"

class QIODevice;

// Reads the first worksheet of an .xlsx workbook, as spreadsheet programs write it: shared
// and inline strings (rich text too), numbers, booleans, errors, the cached values of
// formulas, and dates and times told apart from numbers by built-in or custom number
// formats, in either date system. What a file can make it allocate is bounded, so that a
// damaged or hostile file fails with a reason instead of exhausting memory.
class XlsxReader : public SheetReader
{
public:
    struct Limits {
        qint64 maxFileBytes = 256 * 1024 * 1024; // a full record is about 1 MB
        qint64 maxEntries = 10'000;              // each part is looked up among them
        qint64 maxPartBytes = 64 * 1024 * 1024;  // unpacked size of any one XML part
        int maxSharedStrings = 1'000'000;
        int maxCells = 1'000'000; // a full record has about 200,000
    };

    XlsxReader() = default;
    explicit XlsxReader(const Limits &limits) : m_limits(limits) {}

    bool read(const QString &path, SheetCells *cells, QString *error) override;
    // The same from an open, seekable device; `fileName` names the file in messages.
    bool read(QIODevice *device, const QString &fileName, SheetCells *cells, QString *error);

private:
    Limits m_limits;
};

// The .xls reader on any bytes. A compound document goes through the whole reader; anything
// else straight to the record reader, which is where a damaged workbook does its harm. Any
// input must end in cells or in a message, never in a crash, a hang or an unbounded sheet.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/workbook/BiffWorkbook.h"
#include "core/workbook/WorkbookFormat.h"
#include "core/workbook/XlsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    SheetCells cells;
    QString error;
    const bool ok = WorkbookFormat::detect(bytes) == WorkbookFormat::Kind::Xls
                        ? XlsReader().readBytes(bytes, &cells, &error)
                        : BiffWorkbook::readFirstSheet(bytes, &cells, &error);
    if (ok == !error.isEmpty()) std::abort();
    if (!ok && !cells.isEmpty()) std::abort();
    if (cells.rowCount() > 65536 || cells.columnCount() > 256) std::abort();
    return 0;
}

#include "core/workbook/XlsReader.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

#include "core/workbook/BiffWorkbook.h"
#include "core/workbook/WorkbookFormat.h"

namespace
{

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GPtr = std::unique_ptr<T, GObjectUnref>;

void ignoreLog(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}

void ensureGsf()
{
    static const bool initialised = [] {
        gsf_init();
        // A damaged container makes libgsf complain on stderr; the reader reports it instead.
        for (const char *domain : {"libgsf", "libgsf:msole"})
            g_log_set_handler(domain, GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING), ignoreLog,
                              nullptr);
        return true;
    }();
    Q_UNUSED(initialised);
}

bool fail(QString *error, const QString &fileName, const QString &why)
{
    if (error) *error = sheetReadFailure(fileName, why);
    return false;
}

// The workbook stream: "Workbook" in BIFF8 files, "Book" in older ones. Writers differ in
// the case of the name.
GPtr<GsfInput> workbookStream(GsfInfile *document)
{
    for (const char *wanted : {"Workbook", "Book"}) {
        const int count = gsf_infile_num_children(document);
        for (int i = 0; i < count; ++i) {
            const char *name = gsf_infile_name_by_index(document, i);
            if (name && qstricmp(name, wanted) == 0)
                return GPtr<GsfInput>(gsf_infile_child_by_index(document, i));
        }
    }
    return nullptr;
}

} // namespace

bool XlsReader::read(const QString &path, SheetCells *cells, QString *error)
{
    const QString fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(error, fileName, file.errorString().toLower());
    const QString tooLarge =
        QStringLiteral("it is too large to be a record (more than %1 MB)").arg(maxFileSize / (1024 * 1024));
    if (file.size() > maxFileSize) return fail(error, fileName, tooLarge);
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (bytes.size() > maxFileSize) return fail(error, fileName, tooLarge);
    return readBytes(bytes, cells, error, fileName);
}

bool XlsReader::readBytes(const QByteArray &file, SheetCells *cells, QString *error, const QString &fileName)
{
    if (WorkbookFormat::detect(file) != WorkbookFormat::Kind::Xls)
        return fail(error, fileName,
                    WorkbookFormat::detect(file) == WorkbookFormat::Kind::Xlsx
                        ? QStringLiteral("it is an .xlsx workbook, not an Excel 97-2003 workbook (.xls)")
                        : QStringLiteral("it is not an Excel 97-2003 workbook (.xls)"));
    ensureGsf();
    GPtr<GsfInput> input(
        gsf_input_memory_new(reinterpret_cast<const guint8 *>(file.constData()), file.size(), FALSE));
    GError *gsfError = nullptr;
    GPtr<GsfInfile> document(gsf_infile_msole_new(input.get(), &gsfError));
    if (gsfError) g_error_free(gsfError);
    if (!document) return fail(error, fileName, QStringLiteral("its document structure is damaged"));
    const GPtr<GsfInput> stream = workbookStream(document.get());
    if (!stream) return fail(error, fileName, QStringLiteral("it holds no workbook"));
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0 || size > BiffWorkbook::maxStreamSize)
        return fail(error, fileName, QStringLiteral("it is too large to be a record (its workbook stream)"));
    QByteArray workbook(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(stream.get(), size_t(size), reinterpret_cast<guint8 *>(workbook.data())))
        return fail(error, fileName, QStringLiteral("its document structure is damaged"));
    QString why;
    SheetCells read;
    if (!BiffWorkbook::readFirstSheet(workbook, &read, &why)) return fail(error, fileName, why);
    *cells = read;
    return true;
}

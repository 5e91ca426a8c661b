#include "core/workbook/XlsReader.h"

#include <QFile>
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

bool fail(QString *error, const QString &why)
{
    if (error) *error = QStringLiteral("The workbook cannot be read: %1.").arg(why);
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(error, QStringLiteral("the file cannot be opened"));
    if (file.size() > maxFileSize) return fail(error, QStringLiteral("the file is larger than any record"));
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (bytes.size() > maxFileSize) return fail(error, QStringLiteral("the file is larger than any record"));
    return readBytes(bytes, cells, error);
}

bool XlsReader::readBytes(const QByteArray &file, SheetCells *cells, QString *error)
{
    if (WorkbookFormat::detect(file) != WorkbookFormat::Kind::Xls)
        return fail(error, QStringLiteral("it is not a workbook of the 1997-2003 format"));
    ensureGsf();
    GPtr<GsfInput> input(
        gsf_input_memory_new(reinterpret_cast<const guint8 *>(file.constData()), file.size(), FALSE));
    GError *gsfError = nullptr;
    GPtr<GsfInfile> document(gsf_infile_msole_new(input.get(), &gsfError));
    if (gsfError) g_error_free(gsfError);
    if (!document) return fail(error, QStringLiteral("its document structure is damaged"));
    const GPtr<GsfInput> stream = workbookStream(document.get());
    if (!stream) return fail(error, QStringLiteral("it holds no workbook"));
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0 || size > BiffWorkbook::maxStreamSize)
        return fail(error, QStringLiteral("the workbook is larger than any record"));
    QByteArray workbook(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(stream.get(), size_t(size), reinterpret_cast<guint8 *>(workbook.data())))
        return fail(error, QStringLiteral("its document structure is damaged"));
    QString why;
    SheetCells read;
    if (!BiffWorkbook::readFirstSheet(workbook, &read, &why)) return fail(error, why);
    *cells = read;
    return true;
}

#include "core/workbook/XlsxReader.h"

#include <QFile>
#include <QFileInfo>
#include <vector>

#include "core/workbook/XlsxParts.h"
#include "core/workbook/ZipArchive.h"

namespace
{

QString cannotOpen(const QString &fileName, const QString &reason)
{
    return sheetReadFailure(fileName, reason);
}

QString tooLargeReason(const QString &detail)
{
    return QStringLiteral("it is too large to be a record (%1)").arg(detail);
}

// One read: unpacks and parses parts, and words the first failure for the user.
class XlsxPackage
{
public:
    XlsxPackage(const ZipArchive &zip, const QString &fileName, const XlsxReader::Limits &limits)
        : m_zip(zip), m_fileName(fileName), m_limits(limits)
    {
    }

    const QString &error() const { return m_error; }

    // A missing part is no failure: `data` is then empty and `found` false.
    bool unpack(const QString &part, QByteArray *data, bool *found = nullptr)
    {
        if (found) *found = false;
        if (part.isEmpty()) return true;
        switch (m_zip.read(part, m_limits.maxPartBytes, data)) {
        case ZipArchive::Result::Ok:
            if (found) *found = true;
            return true;
        case ZipArchive::Result::Missing:
            return true;
        case ZipArchive::Result::TooLarge:
            return tooLarge(QStringLiteral("its part %1 unpacks to more than %2 MB")
                                .arg(part)
                                .arg(m_limits.maxPartBytes / (1024 * 1024)));
        case ZipArchive::Result::Damaged:
            break;
        }
        return damaged(part, QStringLiteral("it cannot be unpacked"));
    }

    // A part that is there and sound, or nothing: for what a record can do without.
    QByteArray optionalPart(const QString &part) const
    {
        QByteArray data;
        if (part.isEmpty() || m_zip.read(part, m_limits.maxPartBytes, &data) != ZipArchive::Result::Ok)
            return {};
        return data;
    }

    bool fail(const QString &reason)
    {
        m_error = cannotOpen(m_fileName, reason);
        return false;
    }
    bool damaged(const QString &part, const QString &detail)
    {
        return fail(QStringLiteral("its part %1 is damaged (%2)").arg(part, detail));
    }
    bool tooLarge(const QString &detail) { return fail(tooLargeReason(detail)); }

private:
    const ZipArchive &m_zip;
    QString m_fileName;
    const XlsxReader::Limits &m_limits;
    QString m_error;
};

const QString officeDocumentDefault = QStringLiteral("xl/workbook.xml");

QString relationshipsPartOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

bool looksLikeLegacyWorkbook(QIODevice *device)
{
    static const QByteArray compoundDocument("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    return device->seek(0) && device->peek(8) == compoundDocument;
}

bool accepted(XlsxParts::Outcome outcome, XlsxPackage &package, const QString &part, const QString &detail)
{
    switch (outcome) {
    case XlsxParts::Outcome::Ok:
        return true;
    case XlsxParts::Outcome::OverLimit:
        return package.tooLarge(detail);
    case XlsxParts::Outcome::Damaged:
        break;
    }
    return package.damaged(part, detail);
}

// The column the first chart on the sheet plots, through the sheet's drawing; 0 without one.
int chartValuesColumn(const XlsxPackage &package, const QString &sheetPart)
{
    using namespace XlsxParts;
    QString part = sheetPart;
    for (const char16_t *type : {u"/drawing", u"/chart"}) {
        std::vector<Relationship> relationships;
        QString ignored;
        if (!parseRelationships(package.optionalPart(relationshipsPartOf(part)), part, &relationships,
                                &ignored))
            return 0;
        part = targetOfType(relationships, type);
        if (part.isEmpty()) return 0;
    }
    return XlsxParts::chartValuesColumn(package.optionalPart(part));
}

bool readPackage(XlsxPackage &package, const XlsxReader::Limits &limits, SheetCells *cells)
{
    using namespace XlsxParts;
    QByteArray xml;
    QString detail;

    // The package's relationships name the workbook part; most writers call it
    // xl/workbook.xml, which also serves when the relationships are missing.
    bool found = false;
    std::vector<Relationship> packageRelationships;
    if (!package.unpack(QStringLiteral("_rels/.rels"), &xml, &found)) return false;
    if (found && !parseRelationships(xml, QString(), &packageRelationships, &detail))
        return package.damaged(QStringLiteral("_rels/.rels"), detail);
    QString workbookPart = targetOfType(packageRelationships, u"/officeDocument");
    if (workbookPart.isEmpty()) workbookPart = officeDocumentDefault;

    if (!package.unpack(workbookPart, &xml, &found)) return false;
    if (!found) return package.fail(QStringLiteral("it holds no workbook"));
    Workbook workbook;
    if (!parseWorkbook(xml, &workbook, &detail)) return package.damaged(workbookPart, detail);

    const QString workbookRelationshipsPart = relationshipsPartOf(workbookPart);
    std::vector<Relationship> relationships;
    if (!package.unpack(workbookRelationshipsPart, &xml, &found)) return false;
    if (found && !parseRelationships(xml, workbookPart, &relationships, &detail))
        return package.damaged(workbookRelationshipsPart, detail);

    // The first sheet that is a worksheet (a chart sheet may come first).
    QString sheetPart;
    for (const QString &id : workbook.sheetRelationshipIds) {
        for (const Relationship &r : relationships)
            if (r.id == id && r.type.endsWith(u"/worksheet")) sheetPart = r.target;
        if (!sheetPart.isEmpty()) break;
    }
    if (sheetPart.isEmpty()) return package.fail(QStringLiteral("it holds no worksheet"));

    CellStyles styles;
    const QString stylesPart = targetOfType(relationships, u"/styles");
    if (!package.unpack(stylesPart, &xml, &found)) return false;
    if (found && !parseStyles(xml, &styles, &detail)) return package.damaged(stylesPart, detail);

    std::vector<QString> strings;
    const QString stringsPart = targetOfType(relationships, u"/sharedStrings");
    if (!package.unpack(stringsPart, &xml, &found)) return false;
    if (found && !accepted(parseSharedStrings(xml, limits.maxSharedStrings, &strings, &detail), package,
                           stringsPart, detail))
        return false;

    if (!package.unpack(sheetPart, &xml, &found)) return false;
    if (!found) return package.fail(QStringLiteral("its worksheet %1 is missing").arg(sheetPart));
    const SheetContext context{&strings, &styles, workbook.date1904, limits.maxCells};
    if (!accepted(parseWorksheet(xml, context, cells, &detail), package, sheetPart, detail)) return false;
    cells->setChartValuesColumn(chartValuesColumn(package, sheetPart));
    return true;
}

} // namespace

bool XlsxReader::read(const QString &path, SheetCells *cells, QString *error)
{
    *cells = SheetCells();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = cannotOpen(QFileInfo(path).fileName(), file.errorString().toLower());
        return false;
    }
    return read(&file, QFileInfo(path).fileName(), cells, error);
}

bool XlsxReader::read(QIODevice *device, const QString &fileName, SheetCells *cells, QString *error)
{
    *cells = SheetCells();
    error->clear();
    if (device->size() > m_limits.maxFileBytes) {
        *error = cannotOpen(
            fileName,
            tooLargeReason(QStringLiteral("more than %1 MB").arg(m_limits.maxFileBytes / (1024 * 1024))));
        return false;
    }
    const ZipArchive zip(device);
    XlsxPackage package(zip, fileName, m_limits);
    bool read = false;
    if (zip.isOpen() && zip.entryCount() > m_limits.maxEntries)
        package.tooLarge(QStringLiteral("more than %1 parts").arg(m_limits.maxEntries));
    else if (zip.isOpen())
        read = readPackage(package, m_limits, cells);
    else if (looksLikeLegacyWorkbook(device))
        package.fail(QStringLiteral("it is an Excel 97-2003 workbook (.xls), not an .xlsx workbook"));
    else
        package.fail(QStringLiteral("it is not an .xlsx workbook"));
    if (!read) {
        *cells = SheetCells();
        *error = package.error();
    }
    return read;
}

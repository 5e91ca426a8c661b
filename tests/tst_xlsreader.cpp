#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <cstring>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>

#include "core/common/NumberFormat.h"
#include "core/workbook/BiffWorkbook.h"
#include "core/workbook/SheetDates.h"
#include "core/workbook/WorkbookFormat.h"
#include "core/workbook/XlsReader.h"

// The .xls reader: format detection, the serial-number rules shared with the .xlsx reader,
// workbooks converted by a real spreadsheet program (tests/data/xls, see its README), and
// hand-built record streams for what those files do not show and for damage.
namespace
{

using Format = SheetCell::NumberFormat;

// A workbook stream built record by record.
class Biff
{
public:
    Biff &record(quint16 type, const QByteArray &payload)
    {
        m_bytes += u16(type) + u16(quint16(payload.size())) + payload;
        return *this;
    }
    Biff &bof(quint16 substream, quint16 version = 0x0600)
    {
        return record(0x0809, u16(version) + u16(substream) + QByteArray(12, '\0'));
    }
    Biff &eof() { return record(0x000A, {}); }
    // The globals: styles 0 General, 1 a time, 2 a date; then one worksheet right after.
    Biff &globals(const QByteArray &more = {}, quint16 version = 0x0600)
    {
        bof(0x0005, version);
        m_bytes += more;
        record(0x041E, u16(164) + string16("hh:mm:ss", version));
        record(0x00E0, u16(0) + u16(0) + QByteArray(16, '\0'));
        record(0x00E0, u16(0) + u16(164) + QByteArray(16, '\0'));
        record(0x00E0, u16(0) + u16(14) + QByteArray(16, '\0'));
        m_sheetPosition = m_bytes.size() + 4;
        record(0x0085, u32(0) + QByteArray(2, '\0') + QByteArray("\x05\x00Sheet", 7));
        return eof();
    }
    // Starts the worksheet that globals() pointed at.
    Biff &sheet(quint16 version = 0x0600)
    {
        qToLittleEndian<quint32>(quint32(m_bytes.size()), m_bytes.data() + m_sheetPosition);
        return bof(0x0010, version);
    }
    Biff &cell(quint16 type, quint16 row, quint16 column, quint16 xf, const QByteArray &rest)
    {
        return record(type, u16(row) + u16(column) + u16(xf) + rest);
    }
    QByteArray bytes() const { return m_bytes; }

    static QByteArray u16(quint16 value) { return bytesOf(value); }
    static QByteArray u32(quint32 value) { return bytesOf(value); }
    static QByteArray f64(double value)
    {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bytesOf(bits);
    }
    static QByteArray string16(const char *latin, quint16 version = 0x0600)
    {
        const QByteArray text(latin);
        return u16(quint16(text.size())) + (version == 0x0600 ? QByteArray(1, '\0') : QByteArray()) + text;
    }

private:
    template <typename T> static QByteArray bytesOf(T value)
    {
        QByteArray out(sizeof(T), '\0');
        qToLittleEndian(value, out.data());
        return out;
    }
    QByteArray m_bytes;
    qsizetype m_sheetPosition = 0;
};

// A compound document holding one stream.
QByteArray compoundDocument(const char *streamName, const QByteArray &stream)
{
    GsfOutput *memory = gsf_output_memory_new();
    GsfOutfile *document = gsf_outfile_msole_new(memory);
    GsfOutput *child = gsf_outfile_new_child(document, streamName, FALSE);
    gsf_output_write(child, size_t(stream.size()), reinterpret_cast<const guint8 *>(stream.constData()));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(document));
    g_object_unref(document);
    const QByteArray bytes(
        reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory))),
        qsizetype(gsf_output_size(memory)));
    g_object_unref(memory);
    return bytes;
}

QString timeText(const SheetCell &cell)
{
    return NumberFormat::formatTime(SheetDates::timeOfSerial(cell.number), u"hh:nn:ss");
}

SheetCells readStream(const QByteArray &stream, bool expectOk = true)
{
    SheetCells cells;
    QString error;
    const bool ok = BiffWorkbook::readFirstSheet(stream, &cells, &error);
    if (ok != expectOk) qWarning("read gave %d: %s", ok, qPrintable(error));
    return cells;
}

} // namespace

class TestXlsReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void detectsFormatByFirstBytes_data();
    void detectsFormatByFirstBytes();
    void detectsRenamedFile();

    void fixtureHoldsExactlyTheWrittenCells_data();
    void fixtureHoldsExactlyTheWrittenCells();

    void sharedStringsAcrossContinueRecords();
    void numbersOfEveryEncoding();
    void formulaResultsBooleansAndErrors();
    void embeddedChartIsSkipped();
    void firstWorksheetAfterAChartSheet();
    void olderBookStream();
    void damagedStreams_data();
    void damagedStreams();
    void containerFailures_data();
    void containerFailures();
};

void TestXlsReader::detectsFormatByFirstBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<WorkbookFormat::Kind>("kind");
    QTest::newRow("zip") << QByteArray("PK\x03\x04\x14\x00", 6) << WorkbookFormat::Kind::Xlsx;
    QTest::newRow("compound document")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\x00", 9) << WorkbookFormat::Kind::Xls;
    QTest::newRow("signature cut short")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A", 7) << WorkbookFormat::Kind::Unknown;
    QTest::newRow("empty zip") << QByteArray("PK\x05\x06", 4) << WorkbookFormat::Kind::Unknown;
    QTest::newRow("text") << QByteArray("Index,Date\n") << WorkbookFormat::Kind::Unknown;
    QTest::newRow("empty") << QByteArray() << WorkbookFormat::Kind::Unknown;
}

void TestXlsReader::detectsFormatByFirstBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(WorkbookFormat::Kind, kind);
    QCOMPARE(WorkbookFormat::detect(bytes), kind);
}

// A workbook of the older format renamed ".xlsx" is still told by its first bytes.
void TestXlsReader::detectsRenamedFile()
{
    QTemporaryDir folder;
    const QString renamed = folder.filePath(QStringLiteral("record.xlsx"));
    QVERIFY(QFile::copy(QFINDTESTDATA("data/xls/record-1900.xls"), renamed));
    QCOMPARE(WorkbookFormat::detectFile(renamed), WorkbookFormat::Kind::Xls);
    QCOMPARE(WorkbookFormat::detectFile(folder.filePath(QStringLiteral("missing.xls"))),
             WorkbookFormat::Kind::Unknown);
}

void TestXlsReader::fixtureHoldsExactlyTheWrittenCells_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("record, 1900 system") << QStringLiteral("record-1900");
    QTest::newRow("record, 1904 system") << QStringLiteral("record-1904");
    QTest::newRow("cell kinds") << QStringLiteral("cell-kinds");
}

// Every cell the generator listed reads back as listed, and no other cell is there.
void TestXlsReader::fixtureHoldsExactlyTheWrittenCells()
{
    QFETCH(QString, name);
    QFile list(QFINDTESTDATA(QStringLiteral("data/xls/%1.cells").arg(name)));
    QVERIFY(list.open(QIODevice::ReadOnly | QIODevice::Text));
    XlsReader reader;
    SheetCells cells;
    QString error;
    QVERIFY2(reader.read(QFINDTESTDATA(QStringLiteral("data/xls/%1.xls").arg(name)), &cells, &error),
             qPrintable(error));

    int listed = 0;
    int maxRow = 0, maxColumn = 0;
    while (!list.atEnd()) {
        const QStringList fields = QString::fromUtf8(list.readLine()).chopped(1).split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 4);
        const int row = fields[0].toInt(), column = fields[1].toInt();
        const QString &kind = fields[2], &value = fields[3];
        const SheetCell cell = cells.at(row, column);
        const QByteArray where = QStringLiteral("%1 at %2,%3").arg(kind).arg(row).arg(column).toUtf8();
        ++listed;
        maxRow = qMax(maxRow, row);
        maxColumn = qMax(maxColumn, column);
        if (kind == u"text" || kind == u"error") {
            QCOMPARE(cell.type, kind == u"text" ? SheetCell::Type::Text : SheetCell::Type::Error);
            QVERIFY2(cell.text == value, where.constData());
            continue;
        }
        if (kind == u"boolean") {
            QCOMPARE(cell.type, SheetCell::Type::Boolean);
            QCOMPARE(cell.number, value.toDouble());
            continue;
        }
        QVERIFY2(cell.type == SheetCell::Type::Number, where.constData());
        if (kind == u"time") {
            QVERIFY2(cell.format == Format::Time, where.constData());
            QCOMPARE(timeText(cell), value);
            continue;
        }
        const Format expected = kind == u"date"       ? Format::Date
                                : kind == u"datetime" ? Format::DateTime
                                : kind == u"duration" ? Format::Time
                                                      : Format::General;
        QVERIFY2(cell.format == expected, where.constData());
        // the xlsx source keeps 16 digits: the last bit may differ
        QVERIFY2(std::abs(cell.number - value.toDouble()) <= 1e-14 * std::abs(value.toDouble()),
                 where.constData());
    }
    QCOMPARE(cells.rowCount(), maxRow);
    QCOMPARE(cells.columnCount(), maxColumn);
    int present = 0;
    for (int row = 1; row <= cells.rowCount(); ++row)
        for (int column = 1; column <= cells.columnCount(); ++column)
            present += cells.at(row, column).type != SheetCell::Type::Empty;
    QCOMPARE(present, listed);
}

void TestXlsReader::sharedStringsAcrossContinueRecords()
{
    // "Abc" whole; "xyz" + "ΩΩ" split with a switch to 16-bit characters; then a string with
    // a rich run and phonetic data whose bytes run on into a third record.
    const QByteArray first = Biff::u32(3) + Biff::u32(3) + Biff::string16("Abc") + Biff::u16(5) +
                             QByteArray(1, '\0') + QByteArray("xyz");
    const QByteArray second = QByteArray(1, '\x01') + QByteArray("\xA9\x03\xA9\x03", 4) + Biff::u16(2) +
                              QByteArray(1, '\x0C') + Biff::u16(1) + Biff::u32(3) + QByteArray("ok") +
                              QByteArray(2, 'r');
    const QByteArray third = QByteArray(2, 'r') + QByteArray(3, 'p');
    Biff biff;
    biff.globals(Biff().record(0x00FC, first).record(0x003C, second).record(0x003C, third).bytes()).sheet();
    for (quint32 i = 0; i < 3; ++i)
        biff.cell(0x00FD, 0, quint16(i), 0, Biff::u32(i));
    biff.cell(0x0204, 1, 0, 0,
              Biff::u16(2) + QByteArray(1, '\x01') + QByteArray("\x26\x04\x3E\x04", 4)); // "Цо"
    const SheetCells cells = readStream(biff.eof().bytes());
    QCOMPARE(cells.at(1, 1).text, QStringLiteral("Abc"));
    QCOMPARE(cells.at(1, 2).text, QStringLiteral("xyzΩΩ"));
    QCOMPARE(cells.at(1, 3).text, QStringLiteral("ok"));
    QCOMPARE(cells.at(2, 1).text, QStringLiteral("Цо"));
}

void TestXlsReader::numbersOfEveryEncoding()
{
    Biff biff;
    biff.globals().sheet();
    biff.cell(0x027E, 0, 0, 0, Biff::u32((quint32(-7) << 2) | 0x02)); // integer
    biff.cell(0x027E, 0, 1, 0, Biff::u32((1234u << 2) | 0x03));       // integer / 100
    biff.cell(0x027E, 0, 2, 0, Biff::u32(0x3FF80000u));               // 1.5 by its high bits
    biff.cell(0x027E, 0, 3, 0, Biff::u32(0x40590000u | 0x01));        // 100 / 100
    biff.cell(0x0203, 1, 0, 1, Biff::f64(0.5));                       // a time
    biff.cell(0x0203, 1, 1, 2, Biff::f64(45356));                     // a date
    biff.cell(0x0203, 1, 2, 9, Biff::f64(3));                         // an unknown style
    biff.record(0x00BD, Biff::u16(2) + Biff::u16(4) + Biff::u16(1) + Biff::u32((3u << 2) | 0x02) +
                            Biff::u16(0) + Biff::u32((4u << 2) | 0x02) + Biff::u16(5));
    const SheetCells cells = readStream(biff.eof().bytes());
    QCOMPARE(cells.at(1, 1).number, -7.0);
    QCOMPARE(cells.at(1, 2).number, 12.34);
    QCOMPARE(cells.at(1, 3).number, 1.5);
    QCOMPARE(cells.at(1, 4).number, 1.0);
    QCOMPARE(cells.at(2, 1).format, Format::Time);
    QCOMPARE(cells.at(2, 2).format, Format::Date);
    QCOMPARE(cells.at(2, 3).format, Format::General);
    QCOMPARE(cells.at(3, 5).number, 3.0);
    QCOMPARE(cells.at(3, 5).format, Format::Time);
    QCOMPARE(cells.at(3, 6).number, 4.0);
    QCOMPARE(cells.columnCount(), 6);
}

void TestXlsReader::formulaResultsBooleansAndErrors()
{
    const auto formula = [](const QByteArray &result) -> QByteArray {
        return result + Biff::u16(0) + Biff::u32(0) + Biff::u16(0);
    };
    const auto special = [](char kind, char value) -> QByteArray {
        return QByteArray(1, kind) + '\0' + QByteArray(1, value) + QByteArray(3, '\0') +
               QByteArray("\xFF\xFF", 2);
    };
    Biff biff;
    biff.globals(Biff().record(0x0022, Biff::u16(1)).bytes()).sheet();
    biff.cell(0x0006, 0, 0, 2, formula(Biff::f64(43830))); // a date of the 1904 system
    biff.cell(0x0006, 0, 1, 0, formula(special(0, 0)));
    biff.record(0x04BC, QByteArray(8, '\0')); // a shared formula may come between
    biff.record(0x0207, Biff::string16("abcd"));
    biff.cell(0x0006, 0, 2, 0, formula(special(1, 1)));
    biff.cell(0x0006, 0, 3, 0, formula(special(2, 0x07)));
    biff.cell(0x0006, 0, 4, 0, formula(special(3, 0)));
    biff.cell(0x0006, 0, 5, 0, formula(special(0, 0)));
    biff.cell(0x0205, 1, 0, 0, QByteArray("\x00\x00", 2));
    biff.cell(0x0205, 1, 1, 0, QByteArray("\x2A\x01", 2));
    biff.cell(0x0203, 1, 2, 1, Biff::f64(0.25));  // a time: the same in both systems
    biff.record(0x0207, Biff::string16("stray")); // no formula waits for it
    const SheetCells cells = readStream(biff.eof().bytes());
    QCOMPARE(cells.at(1, 1).number, 43830.0 + 1462);
    QCOMPARE(cells.at(1, 2).text, QStringLiteral("abcd"));
    QCOMPARE(cells.at(1, 3).type, SheetCell::Type::Boolean);
    QCOMPARE(cells.at(1, 3).number, 1.0);
    QCOMPARE(cells.at(1, 4).text, QStringLiteral("#DIV/0!"));
    QCOMPARE(cells.at(1, 5).type, SheetCell::Type::Text);
    QCOMPARE(cells.at(1, 5).text, QString());
    QCOMPARE(cells.at(1, 6).type, SheetCell::Type::Text); // its STRING never came
    QCOMPARE(cells.at(2, 1).type, SheetCell::Type::Boolean);
    QCOMPARE(cells.at(2, 1).number, 0.0);
    QCOMPARE(cells.at(2, 2).type, SheetCell::Type::Error);
    QCOMPARE(cells.at(2, 2).text, QStringLiteral("#N/A"));
    QCOMPARE(cells.at(2, 3).number, 0.25);
}

void TestXlsReader::embeddedChartIsSkipped()
{
    Biff biff;
    biff.globals().sheet();
    biff.cell(0x0203, 0, 0, 0, Biff::f64(1));
    biff.bof(0x0020).cell(0x0203, 5, 5, 0, Biff::f64(99)).eof();
    biff.cell(0x0203, 0, 1, 0, Biff::f64(2));
    const SheetCells cells = readStream(biff.eof().bytes());
    QCOMPARE(cells.at(1, 2).number, 2.0);
    QCOMPARE(cells.rowCount(), 1);
}

void TestXlsReader::firstWorksheetAfterAChartSheet()
{
    Biff biff;
    const QByteArray chartSheet =
        Biff().record(0x0085, Biff::u32(0) + QByteArray("\x00\x02", 2) + QByteArray("\x01\x00X", 3)).bytes();
    biff.globals(chartSheet).sheet().cell(0x0203, 0, 0, 0, Biff::f64(7));
    QCOMPARE(readStream(biff.eof().bytes()).at(1, 1).number, 7.0);
}

void TestXlsReader::olderBookStream()
{
    Biff biff;
    biff.globals({}, 0x0500).sheet(0x0500);
    biff.cell(0x0204, 0, 0, 0, Biff::string16("Caf\xE9", 0x0500));
    biff.cell(0x0203, 0, 1, 1, Biff::f64(0.75));
    XlsReader reader;
    SheetCells cells;
    QString error;
    QVERIFY2(reader.readBytes(compoundDocument("Book", biff.eof().bytes()), &cells, &error),
             qPrintable(error));
    QCOMPARE(cells.at(1, 1).text, QStringLiteral("Café"));
    QCOMPARE(timeText(cells.at(1, 2)), QStringLiteral("18:00:00"));
}

void TestXlsReader::damagedStreams_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("error");
    const auto sheetWith = [](const QByteArray &records) -> QByteArray {
        Biff biff;
        biff.globals().sheet();
        return biff.bytes() + records + Biff().eof().bytes();
    };
    QByteArray cut = sheetWith(Biff().cell(0x0203, 0, 0, 0, Biff::f64(1)).bytes());
    cut.chop(8);
    QTest::newRow("cut") << cut << "a record runs past the end of the file";
    QTest::newRow("no end") << Biff().globals().sheet().bytes()
                            << "the file ends in the middle of the workbook";
    QTest::newRow("short number") << sheetWith(Biff().cell(0x0203, 0, 0, 0, QByteArray(4, '\0')).bytes())
                                  << "a record is shorter than its contents";
    QTest::newRow("missing shared string") << sheetWith(Biff().cell(0x00FD, 0, 0, 0, Biff::u32(0)).bytes())
                                           << "a text refers to a string that is missing";
    QTest::newRow("text longer than its record")
        << sheetWith(Biff().cell(0x0204, 0, 0, 0, Biff::u16(60000) + QByteArray(1, '\0') + "ab").bytes())
        << "a record is shorter than its contents";
    QTest::newRow("half a character")
        << sheetWith(Biff().cell(0x0204, 0, 0, 0, Biff::u16(1) + QByteArray(1, '\x01') + "a").bytes())
        << "a text is cut in the middle of a character";
    QTest::newRow("column past the sheet")
        << sheetWith(Biff().cell(0x0203, 0, 256, 0, Biff::f64(1)).bytes()) << "a cell lies outside the sheet";
    QTest::newRow("row of numbers past the sheet")
        << sheetWith(
               Biff()
                   .record(0x00BD, Biff::u16(0) + Biff::u16(255) + QByteArray(12, '\0') + Biff::u16(256))
                   .bytes())
        << "a cell lies outside the sheet";
    QTest::newRow("broken row of numbers") << sheetWith(Biff().record(0x00BD, QByteArray(7, '\0')).bytes())
                                           << "a row of numbers has a broken length";
    QTest::newRow("impossible size") << sheetWith(Biff()
                                                      .record(0x0200, Biff::u32(0) + Biff::u32(70000) +
                                                                          Biff::u16(0) + Biff::u16(3) +
                                                                          Biff::u16(0))
                                                      .bytes())
                                     << "the sheet claims an impossible size";
    QTest::newRow("no worksheet") << Biff().bof(0x0005).eof().bytes() << "the workbook has no worksheet";
    QTest::newRow("not a workbook") << Biff().bof(0x0010).eof().bytes()
                                    << "a part of the workbook is not what it claims to be";
    QTest::newRow("unknown version") << Biff().bof(0x0005, 0x0400).eof().bytes()
                                     << "the workbook is of an unsupported version";
    QByteArray lost = Biff().globals().bytes();
    qToLittleEndian<quint32>(0x7FFFFFFF, lost.data() + lost.indexOf(QByteArray("\x85\x00", 2)) + 4);
    QTest::newRow("worksheet outside") << lost << "a worksheet lies outside the file";
    QByteArray loop = Biff().globals().bytes();
    qToLittleEndian<quint32>(0, loop.data() + loop.indexOf(QByteArray("\x85\x00", 2)) + 4);
    QTest::newRow("worksheet pointing back") << loop << "a part of the workbook is not what it claims to be";
    QTest::newRow("empty") << QByteArray() << "the file ends in the middle of the workbook";
}

void TestXlsReader::damagedStreams()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, error);
    SheetCells cells;
    cells.set(1, 1, SheetCell{SheetCell::Type::Text, 0, QStringLiteral("kept"), Format::General});
    QString why;
    QVERIFY(!BiffWorkbook::readFirstSheet(stream, &cells, &why));
    QCOMPARE(why, error);
    QCOMPARE(cells.at(1, 1).text, QStringLiteral("kept"));
}

void TestXlsReader::containerFailures_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");
    QTest::newRow("zip")
        << QByteArray("PK\x03\x04 and more", 13)
        << "Cannot open the workbook: it is an .xlsx workbook, not an Excel 97-2003 workbook (.xls).";
    QByteArray signatureOnly("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    signatureOnly += QByteArray(600, '\0');
    QTest::newRow("signature only") << signatureOnly
                                    << "Cannot open the workbook: its document structure is damaged.";
    QTest::newRow("no workbook stream") << compoundDocument("Data", QByteArray(5000, 'x'))
                                        << "Cannot open the workbook: it holds no workbook.";
    QTest::newRow("damaged stream") << compoundDocument("Workbook",
                                                        Biff().record(0x0203, QByteArray(5000, 'x')).bytes())
                                    << "Cannot open the workbook: a part of the workbook has no start.";
}

void TestXlsReader::containerFailures()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    XlsReader reader;
    SheetCells cells;
    QString why;
    QVERIFY(!reader.readBytes(file, &cells, &why));
    QCOMPARE(why, error);
    QVERIFY(cells.isEmpty());
}

QTEST_GUILESS_MAIN(TestXlsReader)
#include "tst_xlsreader.moc"

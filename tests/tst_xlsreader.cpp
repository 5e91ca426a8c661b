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
#include "support/SheetCellMaker.h"

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

} // namespace

class TestXlsReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void detectsFormatByFirstBytes_data();
    void detectsFormatByFirstBytes();
    void fixtureHoldsExactlyTheWrittenCells_data();
    void fixtureHoldsExactlyTheWrittenCells();
    void decodesRecords_data();
    void decodesRecords();
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
    QTest::newRow("empty") << QByteArray() << WorkbookFormat::Kind::Unknown;
}

void TestXlsReader::detectsFormatByFirstBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(WorkbookFormat::Kind, kind);
    QCOMPARE(WorkbookFormat::detect(bytes), kind);
    // a workbook of the older format renamed ".xlsx" is still told by its first bytes
    QTemporaryDir folder;
    const QString renamed = folder.filePath(QStringLiteral("record.xlsx"));
    QVERIFY(QFile::copy(QFINDTESTDATA("data/xls/record-1900.xls"), renamed));
    QCOMPARE(WorkbookFormat::detectFile(renamed), WorkbookFormat::Kind::Xls);
    QCOMPARE(WorkbookFormat::detectFile(folder.filePath("missing.xls")), WorkbookFormat::Kind::Unknown);
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
    SheetCells cells;
    QString error;
    QVERIFY2(XlsReader().read(QFINDTESTDATA(QStringLiteral("data/xls/%1.xls").arg(name)), &cells, &error),
             qPrintable(error));
    // the listed kind as rendered() marks it; a time of day is compared as the table shows it
    const QHash<QString, QString> marks{{"text", "'"},
                                        {"error", "!"},
                                        {"boolean", "?"},
                                        {"date", "/date"},
                                        {"datetime", "/datetime"},
                                        {"duration", "/time"},
                                        {"time", "/time"},
                                        {"number", ""}};
    QStringList expected, read;
    while (!list.atEnd()) {
        const QStringList f = QString::fromUtf8(list.readLine()).chopped(1).split(QLatin1Char('\t'));
        QCOMPARE(f.size(), 4);
        SheetCell cell = cells.at(f[0].toInt(), f[1].toInt());
        cell.decimals = -1; // the places the format shows are the import's concern
        cell.sign = 0;
        const QString mark = marks.value(f[2]);
        const QString where = f[0] + u',' + f[1] + u'=';
        if (mark.isEmpty() || mark.startsWith(u'/'))
            expected << where + (f[2] == u"time" ? f[3] : QString::number(f[3].toDouble(), 'g', 12)) + mark;
        else
            expected << where + mark + f[3];
        read << where +
                    (f[2] == u"time" && cell.format == Format::Time ? timeText(cell) + mark : rendered(cell));
    }
    QCOMPARE(read, expected);
    QCOMPARE(rendered(cells).count(u'='), expected.size()); // and nothing else
}

// Hand-built streams for what the converted files do not show: each as the cells it reads as.
void TestXlsReader::decodesRecords_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("cells");
    // "Abc" whole; "xyz" + "ΩΩ" split with a switch to 16-bit characters; then a string with
    // a rich run and phonetic data whose bytes run on into a third record.
    const QByteArray first = Biff::u32(3) + Biff::u32(3) + Biff::string16("Abc") + Biff::u16(5) +
                             QByteArray(1, '\0') + QByteArray("xyz");
    const QByteArray second = QByteArray(1, '\x01') + QByteArray("\xA9\x03\xA9\x03", 4) + Biff::u16(2) +
                              QByteArray(1, '\x0C') + Biff::u16(1) + Biff::u32(3) + QByteArray("ok") +
                              QByteArray(2, 'r');
    const QByteArray third = QByteArray(2, 'r') + QByteArray(3, 'p');
    Biff strings;
    strings.globals(Biff().record(0x00FC, first).record(0x003C, second).record(0x003C, third).bytes())
        .sheet();
    for (quint32 i = 0; i < 3; ++i)
        strings.cell(0x00FD, 0, quint16(i), 0, Biff::u32(i));
    strings.cell(0x0204, 1, 0, 0, Biff::u16(2) + QByteArray(1, '\x01') + QByteArray("\x26\x04\x3E\x04", 4));
    QTest::newRow("shared strings across continue records")
        << strings.eof().bytes() << QStringLiteral("R1C1='Abc R1C2='xyzΩΩ R1C3='ok R2C1='Цо");

    Biff numbers;
    numbers.globals().sheet();
    numbers.cell(0x027E, 0, 0, 0, Biff::u32((quint32(-7) << 2) | 0x02)); // integer
    numbers.cell(0x027E, 0, 1, 0, Biff::u32((1234u << 2) | 0x03));       // integer / 100
    numbers.cell(0x027E, 0, 2, 0, Biff::u32(0x3FF80000u));               // 1.5 by its high bits
    numbers.cell(0x027E, 0, 3, 0, Biff::u32(0x40590000u | 0x01));        // 100 / 100
    numbers.cell(0x0203, 1, 0, 1, Biff::f64(0.5));                       // a time
    numbers.cell(0x0203, 1, 1, 2, Biff::f64(45356));                     // a date
    numbers.cell(0x0203, 1, 2, 9, Biff::f64(3));                         // an unknown style
    numbers.record(0x00BD, Biff::u16(2) + Biff::u16(4) + Biff::u16(1) + Biff::u32((3u << 2) | 0x02) +
                               Biff::u16(0) + Biff::u32((4u << 2) | 0x02) + Biff::u16(5));
    QTest::newRow("numbers of every encoding")
        << numbers.eof().bytes()
        << QStringLiteral("R1C1=-7 R1C2=12.34 R1C3=1.5 R1C4=1 R2C1=0.5/time R2C2=45356/date R2C3=3 "
                          "R3C5=3/time R3C6=4");

    const auto formula = [](const QByteArray &result) -> QByteArray {
        return result + Biff::u16(0) + Biff::u32(0) + Biff::u16(0);
    };
    const auto special = [](char kind, char value) -> QByteArray {
        return QByteArray(1, kind) + '\0' + QByteArray(1, value) + QByteArray(3, '\0') +
               QByteArray("\xFF\xFF", 2);
    };
    Biff formulas;
    formulas.globals(Biff().record(0x0022, Biff::u16(1)).bytes()).sheet();
    formulas.cell(0x0006, 0, 0, 2, formula(Biff::f64(43830))); // a date of the 1904 system
    formulas.cell(0x0006, 0, 1, 0, formula(special(0, 0)));
    formulas.record(0x04BC, QByteArray(8, '\0')); // a shared formula may come between
    formulas.record(0x0207, Biff::string16("abcd"));
    formulas.cell(0x0006, 0, 2, 0, formula(special(1, 1)));
    formulas.cell(0x0006, 0, 3, 0, formula(special(2, 0x07)));
    formulas.cell(0x0006, 0, 4, 0, formula(special(3, 0)));
    formulas.cell(0x0006, 0, 5, 0, formula(special(0, 0))); // its STRING never comes
    formulas.cell(0x0205, 1, 0, 0, QByteArray("\x00\x00", 2));
    formulas.cell(0x0205, 1, 1, 0, QByteArray("\x2A\x01", 2));
    formulas.cell(0x0203, 1, 2, 1, Biff::f64(0.25));  // a time: the same in both systems
    formulas.record(0x0207, Biff::string16("stray")); // no formula waits for it
    QTest::newRow("formula results, booleans and errors in the 1904 system")
        << formulas.eof().bytes()
        << QStringLiteral("R1C1=45292/date R1C2='abcd R1C3=?1 R1C4=!#DIV/0! R1C5=' R1C6=' R2C1=?0 "
                          "R2C2=!#N/A R2C3=0.25/time");

    Biff chart;
    chart.globals().sheet().cell(0x0203, 0, 0, 0, Biff::f64(1));
    chart.bof(0x0020).cell(0x0203, 5, 5, 0, Biff::f64(99)).eof();
    chart.cell(0x0203, 0, 1, 0, Biff::f64(2));
    QTest::newRow("embedded chart skipped") << chart.eof().bytes() << QStringLiteral("R1C1=1 R1C2=2");

    Biff afterChartSheet;
    afterChartSheet
        .globals(Biff()
                     .record(0x0085, Biff::u32(0) + QByteArray("\x00\x02", 2) + QByteArray("\x01\x00X", 3))
                     .bytes())
        .sheet()
        .cell(0x0203, 0, 0, 0, Biff::f64(7));
    QTest::newRow("first worksheet after a chart sheet")
        << afterChartSheet.eof().bytes() << QStringLiteral("R1C1=7");

    Biff older;
    older.globals({}, 0x0500).sheet(0x0500);
    older.cell(0x0204, 0, 0, 0, Biff::string16("Caf\xE9", 0x0500));
    older.cell(0x0203, 0, 1, 1, Biff::f64(0.75));
    QTest::newRow("older version") << older.eof().bytes() << QStringLiteral("R1C1='Café R1C2=0.75/time");
}

void TestXlsReader::decodesRecords()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, cells);
    SheetCells read;
    QString error;
    // "Book", as older files call it, is looked for after "Workbook"
    QVERIFY2(XlsReader().readBytes(compoundDocument("Book", stream), &read, &error), qPrintable(error));
    QCOMPARE(rendered(read), cells);
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

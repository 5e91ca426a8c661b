// The number and date formatter, the numeric test and the event-pumping wait; the display
// limits and the label file.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/common/Clock.h"
#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"
#include "support/ManualClock.h"

using namespace Measurement;
Q_DECLARE_METATYPE(LabelFile::Status)

class TestFormats : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void numericPictures_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("expected");
        const auto row = [](double value, const char *picture, const char *expected) {
            QTest::addRow("%g %s", value, picture)
                << value << QString::fromLatin1(picture) << QString::fromLatin1(expected);
        };
        row(-0.0, "####0", "0");
        row(-2.5, "####0", "-3");
        row(-0.4, "####0", "0");
        row(-0.04, "####0.0", "0.0");
        // half away from zero on the decimal value, not on the binary double just below it
        row(2.675, "###0.00", "2.68");
        row(1.005, "###0.00", "1.01");
        row(9.995, "###0.00", "10.00");
        row(-0.0005, "##0.000", "-0.001");
        row(102000.00262723184, "###0.000000000", "102000.002627232");
        row(5, "###0.0####", "5.0");
        row(1.234567, "###0.0####", "1.23457");
        row(0.000001, "###0.0####", "0.0");
        row(1, "0000", "0001");
        row(12345, "0000", "12345");
        row(0, "#", "");
        row(qQNaN(), "0.0", "");
        row(-qInf(), "0.0", "");
    }
    void numericPictures()
    {
        QFETCH(double, value);
        QFETCH(QString, picture);
        QTEST(NumberFormat::format(value, picture), "expected");
    }
    void dateTimePictures_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *picture, const QDateTime &when, const char *expected) {
            QTest::addRow("%s %s", picture, expected)
                << when << QString::fromLatin1(picture) << QString::fromLatin1(expected);
        };
        const QDateTime morning(QDate(2024, 3, 5), QTime(7, 8, 9));
        row("hh:nn:ss", morning, "07:08:09");
        row("hh:nn:ss", QDateTime(QDate(2024, 1, 1), QTime(0, 0)), "00:00:00");
        row("yyyymmdd", morning, "20240305");
        row("hhnnss", morning, "070809");
        row("yyyy-mm-dd hh:mm", morning, "2024-03-05 07:08"); // mm after hh is minutes
        row("yyyymmdd", QDateTime(), "");
    }
    void dateTimePictures()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, picture);
        QTEST(NumberFormat::formatDateTime(when, picture), "expected");
    }
    void isNumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        for (const char *text : {"0012", "  12.5 ", "-12.5", "+3", ".5", "5."})
            QTest::newRow(text) << QString::fromLatin1(text) << true;
        for (const char *text :
             {"", "   ", "+OL", "-OL", ".", "-", "1.2.3", "1e5", "12a", "--1", "1,5", "1 2"})
            QTest::newRow(text) << QString::fromLatin1(text) << false;
        QTest::newRow("arabic-indic digit") << QString(QChar(0x0663)) << false;
    }
    void isNumeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(NumberFormat::isNumeric(text), numeric);
        bool ok = !numeric;
        const double parsed = NumberFormat::parseNumber(text, &ok);
        QCOMPARE(ok, numeric);
        if (numeric) QCOMPARE(parsed, text.toDouble());
        // readings that are not numbers ("+OL") pass through the formatter unchanged
        QCOMPARE(NumberFormat::formatText(text, u"0.0"),
                 numeric ? NumberFormat::format(parsed, u"0.0") : text);
    }
    void waitMsPumpsEventsAndSurvivesATickWrap()
    {
        ManualClock clock(QDateTime(QDate(2024, 1, 1), QTime(12, 0)), 5000);
        clock.setProcessEventsStep(7);
        bool timerRan = false;
        QTimer::singleShot(0, this, [&timerRan] { timerRan = true; });
        bool wrapped = false;
        clock.setOnProcessEvents([&] {
            if (!wrapped && clock.tickMs() >= 5040) clock.setTickMs(10), wrapped = true;
        });
        waitMs(clock, 100);
        QVERIFY(timerRan && wrapped);
        QVERIFY(clock.tickMs() >= 110); // the full wait again, counted from the wrap
    }
    void displayLimits_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<QList<double>>("limits"); // lower, upper; an unknown function leaves them
        // 1000 / 0.001f in single precision is 999999.9375; "###0.000" keeps it.
        QTest::newRow("DCV m") << 0 << 2 << QList<double>{-999999.9375, 999999.9375};
        QTest::newRow("Duty") << 7 << 3 << QList<double>{double(0.1f), double(99.9f)};
        QTest::newRow("Diode") << 8 << 3 << QList<double>{-1, 1};
        QTest::newRow("unknown function") << int(FunctionCount) << int(NoPrefix) << QList<double>{-7, 8};
        QTest::newRow("negative function") << -1 << int(NoPrefix) << QList<double>{-7, 8};
    }
    void displayLimits()
    {
        QFETCH(int, function);
        QFETCH(int, prefix);
        DisplayLimits limits{-7, 8};
        QCOMPARE(Measurement::displayLimits(function, prefix, &limits),
                 function >= 0 && function < FunctionCount);
        QTEST((QList<double>{limits.lower, limits.upper}), "limits");
    }
    void labelFile_data()
    {
        using Status = LabelFile::Status;
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("label");
        QTest::newRow("single line") << QByteArray("ACME\r\n") << Status::Read << "ACME";
        QTest::newRow("last of several lines") << QByteArray("First\nSecond\n\n") << Status::Read << "Second";
        QTest::newRow("last of comma items") << QByteArray("one, two ,three\n") << Status::Read << "three";
        QTest::newRow("quoted with comma")
            << QByteArray("\"A\",\"Lab, West\"") << Status::Read << "Lab, West";
        const QString south = QStringLiteral("Halle S\u00FCd");
        QTest::newRow("UTF-8 with byte order mark")
            << QByteArray("\xEF\xBB\xBFHalle S\xC3\xBC\x64") << Status::Read << south;
        QTest::newRow("Latin-1 text") << QByteArray("Halle S\xFC\x64") << Status::Read << south;
        QTest::newRow("tabs") << QByteArray("\tLab\t1\t") << Status::Read << "Lab\t1";
        QTest::newRow("longest line")
            << QByteArray(MaxLabelLineLength, 'x') << Status::Read << QString(MaxLabelLineLength, u'x');
        QTest::newRow("empty") << QByteArray("") << Status::Read << "";
        QTest::newRow("missing") << QByteArray() << Status::Missing << "";
        QTest::newRow("no read permission") << QByteArray("ACME") << Status::Unreadable << "";
        // Not text a person typed: the title gets no label.
        QTest::newRow("binary") << QByteArray("Lab\0\x01\x02", 6) << Status::Unreadable << "";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFEL\0a\0b\0", 8) << Status::Unreadable << "";
        QTest::newRow("invalid UTF-8, control bytes as Latin-1")
            << QByteArray("Lab\xC3\x28\x85") << Status::Unreadable << "";
        QTest::newRow("escape sequence") << QByteArray("\x1B[31mLab") << Status::Unreadable << "";
        QTest::newRow("over-long line")
            << QByteArray(MaxLabelLineLength + 1, 'x') << Status::Unreadable << "";
        QByteArray big;
        while (big.size() <= MaxLabelFileBytes)
            big += "short line\n";
        QTest::newRow("over-long file") << big << Status::Unreadable << "";
    }
    void labelFile()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LabelName.txt"));
        QFile file(path);
        if (!content.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        if (qstrcmp(QTest::currentDataTag(), "no read permission") == 0) {
            QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
            if (file.open(QIODevice::ReadOnly)) QSKIP("this user reads files without read permission (root)");
        }
        const LabelFile read = readLabelFile(path);
        QTEST(read.status, "status");
        QTEST(read.label, "label");
    }
};

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <limits>

#include "common/AppPaths.h"
#include "common/Clock.h"
#include "common/Files.h"
#include "common/NumberFormat.h"
#include "support/ManualClock.h"

// The number and date formatter and the small shared helpers beside it (files, paths, waiting).
class TestFormats : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void numericPictures_data();
    void numericPictures();
    void nonFiniteValuesGiveEmptyText();
    void formatTextPassesNonNumbersThrough_data();
    void formatTextPassesNonNumbersThrough();
    void dateTimePictures_data();
    void dateTimePictures();
    void timeOfDayAndInvalidInput();
    void isNumeric_data();
    void isNumeric();

    void waitMsPumpsEventsUntilTheTimeHasPassed();
    void waitMsRestartsWhenTheTickGoesBackwards();
    void fileExistsOnlyForFiles();
    void fileNameOfPath_data();
    void fileNameOfPath();
    void recordsFolderAndAssetLookup();
};

void TestFormats::numericPictures_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, double value, const char *picture, const char *expected) {
        QTest::newRow(name) << value << QString::fromLatin1(picture) << QString::fromLatin1(expected);
    };
    // decoder value formats
    row("int plain", 12, "####0", "12");
    row("int zero", 0, "####0", "0");
    row("int negative zero", -0.0, "####0", "0");
    row("int negative", -123, "####0", "-123");
    row("int half up", 2.5, "####0", "3");
    row("int half negative", -2.5, "####0", "-3");
    row("int negative rounds to zero", -0.4, "####0", "0");
    row("int wider than picture", 1234567, "####0", "1234567");
    row("tenth", -12.3, "####0.0", "-12.3");
    row("tenth negative zero", -0.0, "####0.0", "0.0");
    row("tenth half", 0.05, "####0.0", "0.1");
    row("tenth negative half", -0.05, "####0.0", "-0.1");
    row("tenth negative to zero", -0.04, "####0.0", "0.0");
    row("tenth carry", 99999.95, "####0.0", "100000.0");
    row("hundredth decimal half", 2.675, "###0.00", "2.68");
    row("hundredth 1.005", 1.005, "###0.00", "1.01");
    row("hundredth carry", 9.995, "###0.00", "10.00");
    row("hundredth negative carry", -9.995, "###0.00", "-10.00");
    row("hundredth below half", 9.994999, "###0.00", "9.99");
    row("thousandth pads", 12.3, "##0.000", "12.300");
    row("thousandth tiny", 0.0004, "##0.000", "0.000");
    row("thousandth negative half", -0.0005, "##0.000", "-0.001");
    row("thousandth big", 123456789012.3455, "##0.000", "123456789012.346");
    // statistics, limits, graph and power formats
    row("avg 1000", 1.23456, "###0.000", "1.235");
    row("avg 10", 0.95, "###0.0", "1.0");
    row("avg 1", -7.5, "#####0", "-8");
    row("OHM limit", 40500000, "#######0.0", "40500000.0");
    row("CAP limit", 102000.00262723184, "###0.000000000", "102000.002627232");
    row("CAP small", 1e-7, "###0.000000000", "0.000000100");
    row("Hz limit", 5000000, "#######0.000", "5000000.000");
    row("DCV limit in mV", 999999.9375, "###0.000", "999999.938");
    row("Duty limit", 99.9000015258789, "##0.0", "99.9");
    row("Diode limit", -1, "#0.000", "-1.000");
    row("cost", 0.005, "######0.00", "0.01");
    row("cost large", 1234567.891, "######0.00", "1234567.89");
    row("graph label", 12.25, "#########0.0", "12.3");
    row("one decimal list entry", 1, "#0.0", "1.0");
    // optional decimals
    row("optional whole", 5, "###0.0####", "5.0");
    row("optional kept", 12.34, "###0.0####", "12.34");
    row("optional rounded", 1.234567, "###0.0####", "1.23457");
    row("optional trailing zeros dropped", 1.10000, "###0.0####", "1.1");
    row("optional below last place", 0.000001, "###0.0####", "0.0");
    row("optional last place half", 0.000005, "###0.0####", "0.00001");
    row("optional negative to zero", -0.000004, "###0.0####", "0.0");
    // index and bare pictures
    row("index", 1, "0000", "0001");
    row("index max", 9999, "0000", "9999");
    row("index zero", 0, "0000", "0000");
    row("index wider", 12345, "0000", "12345");
    row("hash zero is empty", 0, "#", "");
    row("hash digit", 7, "#", "7");
    row("huge", 1e20, "0", "100000000000000000000");
    row("denormal", 5e-324, "0.00", "0.00");
}

void TestFormats::numericPictures()
{
    QFETCH(double, value);
    QFETCH(QString, picture);
    QFETCH(QString, expected);
    QCOMPARE(NumberFormat::format(value, picture), expected);
}

void TestFormats::nonFiniteValuesGiveEmptyText()
{
    QCOMPARE(NumberFormat::format(std::numeric_limits<double>::quiet_NaN(), u"0.0"), QString());
    QCOMPARE(NumberFormat::format(-std::numeric_limits<double>::infinity(), u"0.0"), QString());
}

void TestFormats::formatTextPassesNonNumbersThrough_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << "5"
                           << "5.0";
    QTest::newRow("decimals") << "12.34"
                              << "12.34";
    QTest::newRow("signed with blanks") << " -3 "
                                        << "-3.0";
    QTest::newRow("overload") << "+OL"
                              << "+OL";
    QTest::newRow("empty") << ""
                           << "";
}

void TestFormats::formatTextPassesNonNumbersThrough()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(NumberFormat::formatText(text, u"###0.0####"), expected);
}

void TestFormats::dateTimePictures_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("expected");
    const QDateTime morning(QDate(2024, 3, 5), QTime(7, 8, 9));
    const QDateTime evening(QDate(1999, 12, 31), QTime(23, 59, 59));
    QTest::newRow("time") << morning << "hh:nn:ss"
                          << "07:08:09";
    QTest::newRow("time late") << evening << "hh:nn:ss"
                               << "23:59:59";
    QTest::newRow("midnight") << QDateTime(QDate(2024, 1, 1), QTime(0, 0)) << "hh:nn:ss"
                              << "00:00:00";
    QTest::newRow("stamp date") << morning << "yyyymmdd"
                                << "20240305";
    QTest::newRow("stamp time") << morning << "hhnnss"
                                << "070809";
    QTest::newRow("slashed date") << morning << "yyyy/mm/dd"
                                  << "2024/03/05";
    QTest::newRow("mm after hh is minutes") << morning << "hh:mm"
                                            << "07:08";
    QTest::newRow("month and minutes") << evening << "yyyy-mm-dd hh:mm:ss"
                                       << "1999-12-31 23:59:59";
    QTest::newRow("short fields") << morning << "yy-m-d h:n:s"
                                  << "24-3-5 7:8:9";
    QTest::newRow("upper case") << morning << "HH:NN:SS"
                                << "07:08:09";
    QTest::newRow("record stamp") << morning << "yyyymmdd_hhnnss"
                                  << "20240305_070809";
}

void TestFormats::dateTimePictures()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, picture);
    QFETCH(QString, expected);
    QCOMPARE(NumberFormat::formatDateTime(when, picture), expected);
}

void TestFormats::timeOfDayAndInvalidInput()
{
    QCOMPARE(NumberFormat::formatTime(QTime(13, 4, 5), u"hh:nn:ss"), QStringLiteral("13:04:05"));
    QCOMPARE(NumberFormat::formatTime(QTime(), u"hh:nn:ss"), QString());
    QCOMPARE(NumberFormat::formatDateTime(QDateTime(), u"yyyymmdd"), QString());
}

void TestFormats::isNumeric_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << "12" << true << 12.0;
    QTest::newRow("leading zeros") << "0012" << true << 12.0;
    QTest::newRow("blanks") << "  12.5 " << true << 12.5;
    QTest::newRow("tabs") << "\t7\t" << true << 7.0;
    QTest::newRow("minus") << "-12.5" << true << -12.5;
    QTest::newRow("plus") << "+3" << true << 3.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("trailing point") << "5." << true << 5.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blank") << "   " << false << 0.0;
    QTest::newRow("overload") << "+OL" << false << 0.0;
    QTest::newRow("negative overload") << "-OL" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("exponent") << "1e5" << false << 0.0;
    QTest::newRow("letters after") << "12a" << false << 0.0;
    QTest::newRow("double sign") << "--1" << false << 0.0;
    QTest::newRow("comma") << "1,5" << false << 0.0;
    QTest::newRow("inner blank") << "1 2" << false << 0.0;
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0663)) << false << 0.0;
}

void TestFormats::isNumeric()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, value);
    QCOMPARE(NumberFormat::isNumeric(text), numeric);
    bool ok = !numeric;
    QCOMPARE(NumberFormat::parseNumber(text, &ok), value);
    QCOMPARE(ok, numeric);
}

void TestFormats::waitMsPumpsEventsUntilTheTimeHasPassed()
{
    ManualClock clock;
    clock.setProcessEventsStep(7);
    bool timerRan = false;
    QTimer::singleShot(0, this, [&timerRan] { timerRan = true; });
    const qint64 start = clock.tickMs();

    waitMs(clock, 150);

    QVERIFY(timerRan);
    QVERIFY(clock.tickMs() - start >= 150);
    QVERIFY(clock.tickMs() - start < 150 + 7 + 1);
    QVERIFY(clock.processEventsCalls() > 1);

    const int callsBefore = clock.processEventsCalls();
    waitMs(clock, 0);
    QCOMPARE(clock.processEventsCalls(), callsBefore + 1);
}

void TestFormats::waitMsRestartsWhenTheTickGoesBackwards()
{
    ManualClock clock(QDateTime(QDate(2024, 1, 1), QTime(12, 0)), 5000);
    bool wrapped = false;
    clock.setOnProcessEvents([&] {
        if (!wrapped && clock.tickMs() >= 5040) {
            wrapped = true;
            clock.setTickMs(10);
        }
    });
    waitMs(clock, 100);
    QVERIFY(wrapped);
    QVERIFY(clock.tickMs() >= 110); // the full wait again, counted from the wrap
}

void TestFormats::fileExistsOnlyForFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("record.xls"));
    QVERIFY(!fileExists(file));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.close();
    QVERIFY(fileExists(file));
    QVERIFY(!fileExists(dir.path())); // a folder is not a saved record
    QVERIFY(!fileExists(QString()));
    QVERIFY(!fileExists(dir.filePath(QStringLiteral("missing/deeper.txt"))));
}

void TestFormats::fileNameOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("backslashes") << "C:\\data\\20240305_070809.xls"
                                 << "20240305_070809.xls";
    QTest::newRow("slashes") << "/home/u/rec.xlsx"
                             << "rec.xlsx";
    QTest::newRow("mixed") << "a/b\\c.txt"
                           << "c.txt";
    QTest::newRow("bare") << "plain.xls"
                          << "plain.xls";
    QTest::newRow("folder") << "/tmp/"
                            << "";
}

void TestFormats::fileNameOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(::fileNameOfPath(path), name);
}

void TestFormats::recordsFolderAndAssetLookup()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    AppPaths::setRecordsFolderOverride(dir.path());
    QCOMPARE(AppPaths::recordsFolder(), dir.path());
    AppPaths::setRecordsFolderOverride(QString());
    QCOMPARE(AppPaths::recordsFolder(),
             QCoreApplication::applicationDirPath()); // the build folder is writable

    const QString name = QStringLiteral("tst_formats_asset.txt");
    QCOMPARE(AppPaths::findAsset(name), QString());
    QFile asset(dir.filePath(name));
    QVERIFY(asset.open(QIODevice::WriteOnly));
    asset.close();
    AppPaths::setAssetFolderOverride(dir.path());
    QCOMPARE(AppPaths::findAsset(name), QDir::cleanPath(dir.filePath(name)));
    AppPaths::setAssetFolderOverride(QString());
    QCOMPARE(AppPaths::findAsset(name), QString());
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

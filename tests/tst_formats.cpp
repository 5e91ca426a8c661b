#include <QTest>
#include <QTimer>

#include "core/common/Clock.h"
#include "core/common/NumberFormat.h"
#include "support/ManualClock.h"

// The number and date formatter, the numeric test and the event-pumping wait.
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
        row(-12.3, "####0.0", "-12.3");
        row(-0.04, "####0.0", "0.0");
        // half away from zero on the decimal value, not on the binary double just below it
        row(2.675, "###0.00", "2.68");
        row(1.005, "###0.00", "1.01");
        row(9.995, "###0.00", "10.00");
        row(-9.995, "###0.00", "-10.00");
        row(-0.0005, "##0.000", "-0.001");
        row(102000.00262723184, "###0.000000000", "102000.002627232");
        row(5, "###0.0####", "5.0");
        row(1.234567, "###0.0####", "1.23457");
        row(1.1, "###0.0####", "1.1");
        row(0.000001, "###0.0####", "0.0");
        row(1, "0000", "0001");
        row(0, "0000", "0000");
        row(12345, "0000", "12345");
        row(0, "#", "");
        row(7, "#", "7");
        row(qQNaN(), "0.0", "");
        row(-qInf(), "0.0", "");
    }
    void numericPictures()
    {
        QFETCH(double, value);
        QFETCH(QString, picture);
        QFETCH(QString, expected);
        QCOMPARE(NumberFormat::format(value, picture), expected);
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
        QFETCH(QString, expected);
        QCOMPARE(NumberFormat::formatDateTime(when, picture), expected);
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
};

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

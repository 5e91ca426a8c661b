#include <QTemporaryDir>
#include <QTest>

#include "link/MeasurementTables.h"

using namespace Measurement;

// The function and prefix tables, the display limits and the label file.
class TestTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void functionTable_data();
    void functionTable();
    void codesOutsideTheTables();
    void prefixTable_data();
    void prefixTable();
    void prefixCodeOfUnit_data();
    void prefixCodeOfUnit();
    void displayLimits_data();
    void displayLimits();
    void displayLimitsIgnoreUnknownFunctions();
    void labelFile_data();
    void labelFile();
    void labelFileMissing();
};

static const QString omega = QString(QChar(0x03A9));

void TestTables::functionTable_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<float>("low");
    QTest::addColumn<float>("high");
    QTest::addColumn<float>("multiplier");
    QTest::addColumn<QString>("format");
    QTest::newRow("DCV") << 0 << "DCV"
                         << "V" << -1000.f << 1000.f << 1.f << "###0.000";
    QTest::newRow("ACV") << 1 << "ACV"
                         << "V" << 0.f << 1000.f << 1.f << "###0.0";
    QTest::newRow("DCA") << 2 << "DCA"
                         << "A" << -1000.f << 1000.f << 1.f << "###0.0";
    QTest::newRow("ACA") << 3 << "ACA"
                         << "A" << 0.f << 1000.f << 1.f << "###0.0";
    QTest::newRow("OHM") << 4 << "OHM" << omega << 0.f << 40.5f << 1e6f << "#######0.0";
    QTest::newRow("CAP") << 5 << "CAP"
                         << "F" << 0.f << 102.f << 1e-6f << "###0.000000000";
    QTest::newRow("Hz") << 6 << "Hz"
                        << "Hz" << 0.f << 5.f << 1e6f << "#######0.000";
    QTest::newRow("Duty") << 7 << "Duty"
                          << "%" << 0.1f << 99.9f << 1.f << "##0.0";
    QTest::newRow("Diode") << 8 << "Diode"
                           << "V" << -1.f << 1.f << 1.f << "#0.000";
    QTest::newRow("Continuity") << 9 << "Continuity" << omega << 0.f << 405.f << 1.f << "###0.0";
}

void TestTables::functionTable()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QFETCH(float, low);
    QFETCH(float, high);
    QFETCH(float, multiplier);
    QFETCH(QString, format);
    QCOMPARE(functionName(code), name);
    QCOMPARE(unitText(code), unit);
    QCOMPARE(lowLimit(code), low);
    QCOMPARE(highLimit(code), high);
    QCOMPARE(limitMultiplier(code), multiplier);
    QCOMPARE(limitFormat(code), format);
    QCOMPARE(functionCodeOf(name), code);
}

void TestTables::codesOutsideTheTables()
{
    QCOMPARE(unitText(OHM).size(), 1); // one omega, not the letters of the function name
    QCOMPARE(functionName(-1), QString());
    QCOMPARE(functionName(FunctionCount), QString());
    QCOMPARE(unitText(FunctionCount), QString());
    QCOMPARE(functionCodeOf(QStringLiteral("duty")), -1);
    QCOMPARE(functionCodeOf(QString()), -1);
    QCOMPARE(prefixText(-1), QString());
    QCOMPARE(prefixText(PrefixCount), QString());
    QCOMPARE(prefixFactor(PrefixCount), 1.0f);
    QCOMPARE(prefixText(NoPrefix) + unitText(ACA), QStringLiteral("A"));
    QCOMPARE(prefixText(4) + unitText(OHM), QStringLiteral("K") + omega);
}

void TestTables::prefixTable_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("factor");
    QTest::newRow("n") << 0 << "n" << 1e-9f;
    QTest::newRow("u") << 1 << "u" << 1e-6f;
    QTest::newRow("m") << 2 << "m" << 0.001f;
    QTest::newRow("none") << 3 << "" << 1.f;
    QTest::newRow("K") << 4 << "K" << 1000.f;
    QTest::newRow("M") << 5 << "M" << 1e6f;
}

void TestTables::prefixTable()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(float, factor);
    QCOMPARE(prefixText(code), text);
    QCOMPARE(prefixFactor(code), factor);
}

void TestTables::prefixCodeOfUnit_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("code");
    QTest::newRow("nF") << "nF" << 0;
    QTest::newRow("uF") << "uF" << 1;
    QTest::newRow("mV") << "mV" << 2;
    QTest::newRow("K ohm") << QString(u'K' + omega) << 4;
    QTest::newRow("MHz") << "MHz" << 5;
    QTest::newRow("V") << "V" << 3;
    QTest::newRow("percent") << "%" << 3;
    QTest::newRow("ohm") << omega << 3;
    QTest::newRow("empty") << "" << 3;
}

void TestTables::prefixCodeOfUnit()
{
    QFETCH(QString, unit);
    QFETCH(int, code);
    QCOMPARE(Measurement::prefixCodeOfUnit(unit), code);
}

void TestTables::displayLimits_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("prefix");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    // 1000 / 0.001f is 999999.95 in single precision 999999.9375; "###0.000" keeps it.
    QTest::newRow("DCV mV") << 0 << 2 << -999999.9375 << 999999.9375;
    QTest::newRow("DCV V") << 0 << 3 << -1000.0 << 1000.0;
    QTest::newRow("ACV mV") << 1 << 2 << 0.0 << 999999.875; // "999999.9" read back in single
    QTest::newRow("ACA") << 3 << 3 << 0.0 << 1000.0;
    QTest::newRow("OHM K") << 4 << 4 << 0.0 << 40500.0;
    QTest::newRow("OHM M") << 4 << 5 << 0.0 << 40.5;
    // 102 * 1e-6f / 1e-9f is 102000.0026 at double precision; nine places, then single.
    QTest::newRow("CAP n") << 5 << 0 << 0.0 << 102000.0;
    QTest::newRow("CAP u") << 5 << 1 << 0.0 << 102.0;
    QTest::newRow("Hz K") << 6 << 4 << 0.0 << 5000.0;
    QTest::newRow("Hz M") << 6 << 5 << 0.0 << 5.0;
    QTest::newRow("Duty") << 7 << 3 << double(0.1f) << double(99.9f);
    QTest::newRow("Diode") << 8 << 3 << -1.0 << 1.0;
    QTest::newRow("Continuity") << 9 << 3 << 0.0 << 405.0;
    QTest::newRow("unknown prefix counts as none") << 3 << 9 << 0.0 << 1000.0;
}

void TestTables::displayLimits()
{
    QFETCH(int, function);
    QFETCH(int, prefix);
    QFETCH(double, lower);
    QFETCH(double, upper);
    DisplayLimits limits;
    QVERIFY(Measurement::displayLimits(function, prefix, &limits));
    QCOMPARE(limits.lower, lower);
    QCOMPARE(limits.upper, upper);
}

void TestTables::displayLimitsIgnoreUnknownFunctions()
{
    DisplayLimits limits{-7, 8};
    QVERIFY(!Measurement::displayLimits(FunctionCount, NoPrefix, &limits));
    QVERIFY(!Measurement::displayLimits(-1, NoPrefix, &limits));
    QCOMPARE(limits.lower, -7.0);
    QCOMPARE(limits.upper, 8.0);
}

void TestTables::labelFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("label");
    QTest::newRow("single line") << QByteArray("ACME\r\n") << "ACME";
    QTest::newRow("no line end") << QByteArray("ACME") << "ACME";
    QTest::newRow("last of several lines") << QByteArray("First\nSecond\nThird\n") << "Third";
    QTest::newRow("last of comma items") << QByteArray("one, two ,three\n") << "three";
    QTest::newRow("quoted with comma") << QByteArray("\"Lab, West\"\n") << "Lab, West";
    QTest::newRow("quoted items") << QByteArray("\"A\",\"B\"\r\n") << "B";
    QTest::newRow("quoted keeps blanks") << QByteArray("\" Hall 2 \"") << " Hall 2 ";
    QTest::newRow("blanks trimmed") << QByteArray("   Plant 7   \n") << "Plant 7";
    QTest::newRow("trailing blank lines") << QByteArray("ACME\n\n\r\n") << "ACME";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("utf-8") << QByteArray("\xC3\x9C"
                                         "ber")
                           << QString::fromUtf8("\xC3\x9C"
                                                "ber");
    QTest::newRow("latin-1") << QByteArray("\xDC"
                                           "ber")
                             << QString::fromUtf8("\xC3\x9C"
                                                  "ber");
}

void TestTables::labelFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, label);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("LabelName.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QCOMPARE(readLabelFile(path), label);
}

void TestTables::labelFileMissing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(readLabelFile(dir.filePath(QStringLiteral("LabelName.txt"))), QString());
    QCOMPARE(readLabelFile(dir.path()), QString()); // a folder of that name
}

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"

#include <QTemporaryDir>
#include <QTest>

#include "core/measurement/MeasurementTables.h"

using namespace Measurement;

// The units shown beside readings, the display limits and the label file.
class TestTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unitTexts();
    void displayLimits_data();
    void displayLimits();
    void displayLimitsIgnoreUnknownFunctions();
    void labelFile_data();
    void labelFile();
};

void TestTables::unitTexts()
{
    const QString omega = QString(QChar(0x03A9)); // one character, not the letters "OHM"
    QCOMPARE(unitText(OHM), omega);
    QCOMPARE(unitText(Continuity), omega);
    QCOMPARE(prefixText(NoPrefix), QString());
    QCOMPARE(prefixText(NoPrefix) + unitText(ACA), QStringLiteral("A"));
}

void TestTables::displayLimits_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("prefix");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    // 1000 / 0.001f in single precision is 999999.9375; "###0.000" keeps it.
    QTest::newRow("DCV m") << 0 << 2 << -999999.9375 << 999999.9375;
    QTest::newRow("ACA") << 3 << 3 << 0.0 << 1000.0;
    QTest::newRow("OHM K") << 4 << 4 << 0.0 << 40500.0;
    QTest::newRow("CAP n") << 5 << 0 << 0.0 << 102000.0;
    QTest::newRow("Duty") << 7 << 3 << double(0.1f) << double(99.9f);
    QTest::newRow("Diode") << 8 << 3 << -1.0 << 1.0;
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
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<QString>("label");
    QTest::newRow("single line") << QByteArray("ACME\r\n") << "ACME";
    QTest::newRow("last of several lines") << QByteArray("First\nSecond\n\n") << "Second";
    QTest::newRow("last of comma items") << QByteArray("one, two ,three\n") << "three";
    QTest::newRow("quoted with comma") << QByteArray("\"A\",\"Lab, West\"") << "Lab, West";
    QTest::newRow("missing") << QByteArray() << "";
}

void TestTables::labelFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, label);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LabelName.txt"));
    QFile file(path);
    if (!content.isNull()) QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    QCOMPARE(readLabelFile(path), label);
}

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"

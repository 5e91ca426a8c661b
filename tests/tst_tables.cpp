#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/measurement/MeasurementTables.h"

using namespace Measurement;

Q_DECLARE_METATYPE(LabelFile::Status)

// The units shown beside readings, the display limits and the label file.
class TestTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void displayLimits_data()
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
    void displayLimits()
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

    void displayLimitsIgnoreUnknownFunctions()
    {
        DisplayLimits limits{-7, 8};
        QVERIFY(!Measurement::displayLimits(FunctionCount, NoPrefix, &limits));
        QVERIFY(!Measurement::displayLimits(-1, NoPrefix, &limits));
        QCOMPARE(limits.lower, -7.0);
        QCOMPARE(limits.upper, 8.0);
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
        QTest::newRow("UTF-8 with byte order mark") << QByteArray("\xEF\xBB\xBFHalle S\xC3\xBC"
                                                                  "d")
                                                    << Status::Read << QStringLiteral("Halle S\u00FCd");
        QTest::newRow("Latin-1 text") << QByteArray("Halle S\xFC"
                                                    "d")
                                      << Status::Read << QStringLiteral("Halle S\u00FCd");
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
        QFETCH(LabelFile::Status, status);
        QFETCH(QString, label);
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
        QCOMPARE(read.status, status);
        QCOMPARE(read.label, label);
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"

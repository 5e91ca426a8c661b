#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/Settings.h"
#include "settings/SettingsStore.h"

namespace
{

const QStringList SetupKeys{
    QStringLiteral("setup_autoScan"), QStringLiteral("setup_seleport"), QStringLiteral("setup_commp"),
    QStringLiteral("setup_Alarm"),    QStringLiteral("setup_T1Hi"),     QStringLiteral("setup_T1Low"),
    QStringLiteral("setup_T1_CK"),    QStringLiteral("setup_Yscale"),   QStringLiteral("setup_unit"),
    QStringLiteral("Channel_n1"),     QStringLiteral("Channel_n2"),     QStringLiteral("Channel_n3"),
    QStringLiteral("Channel_n4"),     QStringLiteral("Channel_n5"),     QStringLiteral("Channel_n6"),
    QStringLiteral("Channel_sn1"),    QStringLiteral("Channel_sn2"),    QStringLiteral("Channel_sn3"),
    QStringLiteral("Channel_sn4"),    QStringLiteral("Channel_sn5"),    QStringLiteral("Channel_sn6"),
    QStringLiteral("Channel_p1"),     QStringLiteral("Channel_p2"),     QStringLiteral("Channel_p3"),
    QStringLiteral("Channel_p4"),     QStringLiteral("Channel_p5"),     QStringLiteral("Channel_p6"),
    QStringLiteral("Power_cos"),      QStringLiteral("Power_V"),        QStringLiteral("Power_Unit")};

QStringList lowered(QStringList keys)
{
    for (QString &key : keys)
        key = key.toLower();
    keys.sort();
    return keys;
}

// What the file holds, read past SettingsStore.
QStringList storedKeys(const QString &path)
{
    QSettings raw(path, QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("VK47"));
    QStringList keys = raw.childKeys();
    keys.sort();
    return keys;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_fileNo = 0;
    QString freshPath() { return m_dir.filePath(QStringLiteral("regtest%1.ini").arg(++m_fileNo)); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QStandardPaths::setTestModeEnabled(true);
    }

    void defaultStoreIsPerUserIni()
    {
        const SettingsStore store;
        QCOMPARE(store.fileName(), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                                       QStringLiteral("/regtest.ini"));
    }

    void firstSaveCreatesTheFolder()
    {
        const QString path = m_dir.filePath(QStringLiteral("new/config/regtest.ini"));
        SettingsStore(path).save(QStringLiteral("Power_V"), QStringLiteral("230"));
        QVERIFY(QFile::exists(path));
        QCOMPARE(SettingsStore(path).get(QStringLiteral("Power_V"), QString()), QStringLiteral("230"));
    }

    void firstRunDefaults()
    {
        const QString path = freshPath();
        const SettingsStore store(path);
        Settings s;
        s.loadOptions(store);
        s.loadSetup(store, true);

        QCOMPARE(s.autoScan, qint16(1));
        QCOMPARE(s.selePort, qint16(0));
        QCOMPARE(s.commp, qint16(0));
        QCOMPARE(s.Alarm, qint16(0));
        QCOMPARE(s.T1_CK, qint16(0));
        QCOMPARE(s.T1Hi, QStringLiteral("100"));
        QCOMPARE(s.T1Low, QStringLiteral("100"));
        QCOMPARE(s.YScale, qint16(0));
        QCOMPARE(s.unit, qint16(0));
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(s.Channel_n[c], QStringLiteral("Ch%1").arg(c + 1));
            QCOMPARE(s.channelName(c), QStringLiteral("Ch%1").arg(c + 1));
            QCOMPARE(s.Channel_sn[c], QStringLiteral("-"));
            QCOMPARE(s.Channel_p[c], QStringLiteral("-"));
        }
        QCOMPARE(s.Power_cos, QStringLiteral("0.8"));
        QCOMPARE(s.Power_V, QStringLiteral("110"));
        QCOMPARE(s.Power_Unit, QStringLiteral("0"));

        QCOMPARE(s.Moni_ForeColor, 16777215);
        QCOMPARE(s.Moni_BackColor, 32768);
        QCOMPARE(s.Graph_BackColorCk, qint16(1));
        QCOMPARE(s.Graph_T1ColorCk, qint16(1));
        QCOMPARE(s.Graph_TitleCk, qint16(0));
        QCOMPARE(s.Graph_BackColor, 8388608);
        QCOMPARE(s.Graph_T1BackColor, 255);
        QCOMPARE(s.Graph_MainTitle, QStringLiteral("ABC"));
        QCOMPARE(s.Grid_BackColorCk, qint16(1));
        QCOMPARE(s.Grid_lineCk, qint16(1));
        QCOMPARE(s.Grid_FlatCk, qint16(1));
        QCOMPARE(s.Grid_lnsetCk, qint16(0));
        QCOMPARE(s.Grid_RaisedCk, qint16(0));
        QCOMPARE(s.Grid_BackColor, 16777215);

        QCOMPARE(s.portIndex, qint16(0));
        QCOMPARE(s.timeAxisFactor, 0.25f);
        // loading never writes
        QVERIFY(storedKeys(path).isEmpty());
    }

    void keyNamesFoldCase_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("seleport") << QStringLiteral("setup_seleport") << QStringLiteral("setup_selePort");
        QTest::newRow("Yscale") << QStringLiteral("setup_Yscale") << QStringLiteral("setup_YScale");
    }

    void keyNamesFoldCase()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        const QString path = freshPath();
        SettingsStore writer(path);
        writer.save(written, QStringLiteral("1"));
        writer.save(read, QStringLiteral("2")); // the same entry, replaced

        const SettingsStore reader(path); // a later run
        QVERIFY(reader.contains(read));
        QCOMPARE(reader.get(read, QStringLiteral("x")), QStringLiteral("2"));
        QCOMPARE(reader.get(written, QStringLiteral("x")), QStringLiteral("2"));
        QCOMPARE(storedKeys(path), QStringList{written.toLower()});
    }

    void setupDialogSpellingsSurviveARestart()
    {
        const QString path = freshPath();
        {
            SettingsStore store(path);
            Settings s;
            s.autoScan = 0;
            s.selePort = 1;
            s.YScale = 3;
            s.saveSetup(store);
        }
        const SettingsStore store(path);
        Settings s;
        s.loadSetup(store, false);
        QCOMPARE(s.autoScan, qint16(0));
        QCOMPARE(s.selePort, qint16(1));
        QCOMPARE(s.YScale, qint16(3));
        QCOMPARE(s.timeAxisFactor, 1.0f);
    }

    void handTypedKeyInAnyCaseIsFound()
    {
        const QString path = freshPath();
        {
            QSettings raw(path, QSettings::IniFormat);
            raw.setValue(QStringLiteral("VK47/SETUP_COMMP"), QStringLiteral("4"));
        }
        SettingsStore store(path);
        QCOMPARE(store.get(QStringLiteral("setup_commp"), QStringLiteral("0")), QStringLiteral("4"));
        store.save(QStringLiteral("setup_commp"), QStringLiteral("5"));
        QCOMPARE(storedKeys(path), QStringList{QStringLiteral("setup_commp")});
        QCOMPARE(SettingsStore(path).get(QStringLiteral("Setup_Commp"), QString()), QStringLiteral("5"));
    }

    void textsKeptExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("blanks") << QStringLiteral("  Ch 1  ");
        QTest::newRow("comma") << QStringLiteral("a, b");
        QTest::newRow("ini syntax") << QStringLiteral("; #x = [y]");
        QTest::newRow("quotes and backslash") << QStringLiteral("\"q\" \\n");
        QTest::newRow("at sign") << QStringLiteral("@Variant(x)");
        QTest::newRow("empty") << QString();
        QTest::newRow("non-ascii") << QStringLiteral("Pumpe ü 1µ");
    }

    void textsKeptExactly()
    {
        QFETCH(QString, text);
        const QString path = freshPath();
        SettingsStore(path).save(QStringLiteral("Channel_p1"), text);
        const SettingsStore store(path);
        QCOMPARE(store.get(QStringLiteral("Channel_p1"), QStringLiteral("default")), text);
    }

    void badNumbersFallBackToDefaults_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("word") << QStringLiteral("abc");
        QTest::newRow("fraction") << QStringLiteral("1.5");
        QTest::newRow("beyond 32 bits") << QStringLiteral("99999999999");
        QTest::newRow("empty") << QString();
    }

    void badNumbersFallBackToDefaults()
    {
        QFETCH(QString, stored);
        const QString path = freshPath();
        {
            SettingsStore store(path);
            for (const char *key :
                 {"setup_autoScan", "setup_selePort", "setup_commp", "setup_T1_CK", "setup_YScale",
                  "setup_unit", "Moni_ForeColor", "Moni_BackColor", "Graph_BackColorCk", "Grid_BackColor"})
                store.save(QLatin1String(key), stored);
        }
        const SettingsStore store(path);
        Settings s;
        s.loadSetup(store, true);
        s.loadOptions(store);
        QCOMPARE(s.autoScan, qint16(1));
        QCOMPARE(s.selePort, qint16(0));
        QCOMPARE(s.commp, qint16(0));
        QCOMPARE(s.T1_CK, qint16(0));
        QCOMPARE(s.YScale, qint16(0));
        QCOMPARE(s.unit, qint16(0));
        QCOMPARE(s.Moni_ForeColor, 16777215);
        QCOMPARE(s.Moni_BackColor, 32768);
        QCOMPARE(s.Graph_BackColorCk, qint16(1));
        QCOMPARE(s.Grid_BackColor, 16777215);
    }

    void sixteenBitRangeForFlagsThirtyTwoForColours()
    {
        const QString path = freshPath();
        {
            SettingsStore store(path);
            store.save(QStringLiteral("Grid_lineCk"), QStringLiteral("40000"));
            store.save(QStringLiteral("Graph_BackColor"), QStringLiteral("40000"));
        }
        Settings s;
        s.loadOptions(SettingsStore(path));
        QCOMPARE(s.Grid_lineCk, qint16(1));
        QCOMPARE(s.Graph_BackColor, 40000);
    }

    void saveWritesAllSetupKeys()
    {
        const QString path = freshPath();
        SettingsStore store(path);
        Settings s;
        s.commp = 4;
        s.YScale = 7;
        s.unit = 1;
        s.Channel_n[5] = QStringLiteral(" Pump ");
        s.Power_V = QStringLiteral("230");
        s.saveSetup(store);

        QCOMPARE(storedKeys(path), lowered(SetupKeys));
        QCOMPARE(storedKeys(path).size(), 30);
        QCOMPARE(store.get(QStringLiteral("setup_commp"), QString()), QStringLiteral("4"));
        QCOMPARE(store.get(QStringLiteral("setup_YScale"), QString()), QStringLiteral("7"));
        QCOMPARE(store.get(QStringLiteral("setup_unit"), QString()), QStringLiteral("1"));
        QCOMPARE(store.get(QStringLiteral("setup_autoScan"), QString()), QStringLiteral("1"));
        QCOMPARE(store.get(QStringLiteral("Channel_n6"), QString()), QStringLiteral(" Pump "));
        QCOMPARE(store.get(QStringLiteral("Power_V"), QString()), QStringLiteral("230"));
        QCOMPARE(s.portIndex, qint16(4));
        QCOMPARE(s.timeAxisFactor, 2.0f);
    }

    void unitReadOnlyForDcv()
    {
        const QString path = freshPath();
        SettingsStore(path).save(QStringLiteral("setup_unit"), QStringLiteral("1"));
        const SettingsStore store(path);
        Settings s;
        s.loadSetup(store, false);
        QCOMPARE(s.unit, qint16(0));
        s.loadSetup(store, true);
        QCOMPARE(s.unit, qint16(1));
    }

    void loadRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<float>("factor");
        QTest::addColumn<int>("port");
        QTest::newRow("empty Hi") << "setup_T1Hi"
                                  << ""
                                  << "T1Hi"
                                  << "100" << 0.25f << 0;
        QTest::newRow("empty Low") << "setup_T1Low"
                                   << ""
                                   << "T1Low"
                                   << "100" << 0.25f << 0;
        QTest::newRow("Hi kept") << "setup_T1Hi"
                                 << "-12.5"
                                 << "T1Hi"
                                 << "-12.5" << 0.25f << 0;
        QTest::newRow("empty P.F") << "Power_cos"
                                   << ""
                                   << "Power_cos"
                                   << "0.8" << 0.25f << 0;
        QTest::newRow("scale none") << "setup_Yscale"
                                    << "-1"
                                    << "YScale"
                                    << "0" << 0.25f << 0;
        QTest::newRow("scale 50") << "setup_Yscale"
                                  << "1"
                                  << "YScale"
                                  << "1" << 0.5f << 0;
        QTest::newRow("scale 200") << "setup_Yscale"
                                   << "7"
                                   << "YScale"
                                   << "7" << 2.0f << 0;
        QTest::newRow("scale past list") << "setup_Yscale"
                                         << "8"
                                         << "YScale"
                                         << "0" << 0.25f << 0;
        QTest::newRow("COM16") << "setup_commp"
                               << "15"
                               << "commp"
                               << "15" << 0.25f << 15;
        QTest::newRow("past COM16") << "setup_commp"
                                    << "16"
                                    << "commp"
                                    << "0" << 0.25f << 0;
        QTest::newRow("negative port") << "setup_commp"
                                       << "-1"
                                       << "commp"
                                       << "0" << 0.25f << 0;
    }

    void loadRules()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QFETCH(float, factor);
        QFETCH(int, port);
        const QString path = freshPath();
        SettingsStore(path).save(key, stored);
        Settings s;
        s.loadSetup(SettingsStore(path), false);
        const QHash<QString, QString> fields{{QStringLiteral("T1Hi"), s.T1Hi},
                                             {QStringLiteral("T1Low"), s.T1Low},
                                             {QStringLiteral("Power_cos"), s.Power_cos},
                                             {QStringLiteral("YScale"), QString::number(s.YScale)},
                                             {QStringLiteral("commp"), QString::number(s.commp)}};
        QCOMPARE(fields.value(field), expected);
        QCOMPARE(s.timeAxisFactor, factor);
        QCOMPARE(s.portIndex, qint16(port));
    }

    void scanAndSelectedPortExcludeEachOther_data()
    {
        QTest::addColumn<QString>("autoScan");
        QTest::addColumn<QString>("selePort");
        QTest::addColumn<qint16>("expectedScan");
        QTest::addColumn<qint16>("expectedSelect");
        QTest::newRow("scan wins") << "1"
                                   << "1" << qint16(1) << qint16(0);
        QTest::newRow("selected port") << "0"
                                       << "1" << qint16(0) << qint16(1);
        QTest::newRow("scan only") << "1"
                                   << "0" << qint16(1) << qint16(0);
    }

    void scanAndSelectedPortExcludeEachOther()
    {
        QFETCH(QString, autoScan);
        QFETCH(QString, selePort);
        QFETCH(qint16, expectedScan);
        QFETCH(qint16, expectedSelect);
        const QString path = freshPath();
        {
            SettingsStore store(path);
            store.save(QStringLiteral("setup_autoScan"), autoScan);
            store.save(QStringLiteral("setup_seleport"), selePort);
        }
        Settings s;
        s.loadSetup(SettingsStore(path), false);
        QCOMPARE(s.autoScan, expectedScan);
        QCOMPARE(s.selePort, expectedSelect);
    }

    void setupRoundTrip()
    {
        const QString path = freshPath();
        Settings saved;
        saved.autoScan = 0;
        saved.selePort = 1;
        saved.commp = 2;
        saved.Alarm = 1;
        saved.T1_CK = 1;
        saved.T1Hi = QStringLiteral("250");
        saved.T1Low = QStringLiteral("-3.5");
        saved.YScale = 4;
        saved.unit = 1;
        for (int c = 0; c < 6; ++c) {
            saved.Channel_n[c] = QStringLiteral(" Motor%1 ").arg(c);
            saved.Channel_sn[c] = QStringLiteral("SN%1").arg(c);
            saved.Channel_p[c] = QStringLiteral("Hall %1").arg(c);
        }
        saved.Power_cos = QStringLiteral("0.95");
        saved.Power_V = QStringLiteral("230");
        saved.Power_Unit = QStringLiteral("0.31");
        {
            SettingsStore store(path);
            saved.saveSetup(store);
        }
        Settings loaded;
        loaded.loadSetup(SettingsStore(path), true);
        QCOMPARE(loaded.autoScan, saved.autoScan);
        QCOMPARE(loaded.selePort, saved.selePort);
        QCOMPARE(loaded.commp, saved.commp);
        QCOMPARE(loaded.Alarm, saved.Alarm);
        QCOMPARE(loaded.T1_CK, saved.T1_CK);
        QCOMPARE(loaded.T1Hi, saved.T1Hi);
        QCOMPARE(loaded.T1Low, saved.T1Low);
        QCOMPARE(loaded.YScale, saved.YScale);
        QCOMPARE(loaded.unit, saved.unit);
        QCOMPARE(loaded.Channel_n, saved.Channel_n);
        QCOMPARE(loaded.Channel_sn, saved.Channel_sn);
        QCOMPARE(loaded.Channel_p, saved.Channel_p);
        QCOMPARE(loaded.Power_cos, saved.Power_cos);
        QCOMPARE(loaded.Power_V, saved.Power_V);
        QCOMPARE(loaded.Power_Unit, saved.Power_Unit);
        QCOMPARE(loaded.portIndex, qint16(2));
        QCOMPARE(loaded.timeAxisFactor, 1.25f);
        QCOMPARE(loaded.channelName(0), QStringLiteral("Motor0"));
        QCOMPARE(loaded.channelName(6), QString());
    }

    void optionRoundTrip()
    {
        const QString path = freshPath();
        Settings saved;
        saved.Moni_ForeColor = 255;
        saved.Moni_BackColor = 0;
        saved.Graph_BackColorCk = 0;
        saved.Graph_T1ColorCk = 0;
        saved.Graph_TitleCk = 1;
        saved.Graph_BackColor = 16777215;
        saved.Graph_T1BackColor = 65280;
        saved.Graph_MainTitle = QStringLiteral(" Line 3, east ");
        saved.Grid_BackColorCk = 0;
        saved.Grid_lineCk = 0;
        saved.Grid_FlatCk = 0;
        saved.Grid_lnsetCk = 1;
        saved.Grid_RaisedCk = 1;
        saved.Grid_BackColor = 12632256;
        {
            SettingsStore store(path);
            saved.saveOptions(store);
        }
        QCOMPARE(storedKeys(path).size(), 14);
        Settings loaded;
        loaded.loadOptions(SettingsStore(path));
        QCOMPARE(loaded.Moni_ForeColor, saved.Moni_ForeColor);
        QCOMPARE(loaded.Moni_BackColor, saved.Moni_BackColor);
        QCOMPARE(loaded.Graph_BackColorCk, saved.Graph_BackColorCk);
        QCOMPARE(loaded.Graph_T1ColorCk, saved.Graph_T1ColorCk);
        QCOMPARE(loaded.Graph_TitleCk, saved.Graph_TitleCk);
        QCOMPARE(loaded.Graph_BackColor, saved.Graph_BackColor);
        QCOMPARE(loaded.Graph_T1BackColor, saved.Graph_T1BackColor);
        QCOMPARE(loaded.Graph_MainTitle, saved.Graph_MainTitle);
        QCOMPARE(loaded.Grid_BackColorCk, saved.Grid_BackColorCk);
        QCOMPARE(loaded.Grid_lineCk, saved.Grid_lineCk);
        QCOMPARE(loaded.Grid_FlatCk, saved.Grid_FlatCk);
        QCOMPARE(loaded.Grid_lnsetCk, saved.Grid_lnsetCk);
        QCOMPARE(loaded.Grid_RaisedCk, saved.Grid_RaisedCk);
        QCOMPARE(loaded.Grid_BackColor, saved.Grid_BackColor);
        // the setup group is not touched by the options
        QCOMPARE(SettingsStore(path).contains(QStringLiteral("setup_autoScan")), false);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

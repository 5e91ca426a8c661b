#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "core/common/SaveFileNames.h"
#include "core/settings/SaveFolder.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/UserSettings.h"

namespace
{

// What first-run settings save, as the store's file holds it: "key=value" in key order.
const QString Defaults = QStringLiteral(
    "channel_n1=Ch1|channel_n2=Ch2|channel_n3=Ch3|channel_n4=Ch4|channel_n5=Ch5|channel_n6=Ch6|channel_p1=-|"
    "channel_p2=-|channel_p3=-|channel_p4=-|channel_p5=-|channel_p6=-|channel_sn1=-|channel_sn2=-|"
    "channel_sn3=-|channel_sn4=-|channel_sn5=-|channel_sn6=-|energy_pair1=0|energy_pair2=0|energy_pair3=0|"
    "energy_pair4=0|energy_pair5=0|energy_pair6=0|graph_backcolor=8388608|graph_backcolorck=1|"
    "graph_maintitle=ABC|graph_t1backcolor=255|graph_t1colorck=1|graph_titleck=0|grid_backcolor=16777215|"
    "grid_backcolorck=1|grid_flatck=1|grid_lineck=1|grid_lnsetck=0|grid_raisedck=0|moni_backcolor=32768|"
    "moni_forecolor=16777215|power_cos=0.8|power_unit=0|power_v=110|setup_alarm=0|setup_autoscan=1|"
    "setup_commp=0|setup_seleport=0|setup_t1_ck=0|setup_t1hi=100|setup_t1low=100|setup_unit=0|"
    "setup_yscale=0");
// Every key away from its default; texts with blanks, ini syntax and non-ASCII letters.
const QString Changed = QStringLiteral(
    "channel_n1= Motor 1 |channel_n2=M2|channel_n3=M3|channel_n4=M4|channel_n5=M5|channel_n6=Pumpe ü 1µ|"
    "channel_p1=Hall 1|channel_p2=P2|channel_p3=P3|channel_p4=P4|channel_p5=P5|channel_p6=\"q\" \\n|"
    "channel_sn1=SN1|channel_sn2=S2|channel_sn3=S3|channel_sn4=S4|channel_sn5=S5|channel_sn6=@Variant(x)|"
    "energy_pair1=4|energy_pair2=4|energy_pair3=4|energy_pair4=0|energy_pair5=6|energy_pair6=5|"
    "graph_backcolor=16777215|graph_backcolorck=0|graph_maintitle= Line 3, east ; #x = [y]|"
    "graph_t1backcolor=65280|graph_t1colorck=0|graph_titleck=1|grid_backcolor=12632256|"
    "grid_backcolorck=0|grid_flatck=0|grid_lineck=0|grid_lnsetck=1|grid_raisedck=1|moni_backcolor=0|"
    "moni_forecolor=255|power_cos=0.95|power_unit=0.31|power_v=230|setup_alarm=1|setup_autoscan=0|"
    "setup_commp=2|setup_seleport=1|setup_t1_ck=1|setup_t1hi=250|setup_t1low=-3.5|setup_unit=1|"
    "setup_yscale=4");
// The numbers: 16-bit flags and indexes, then 32-bit colours.
const QString Numbers = QStringLiteral(
    "setup_alarm setup_autoscan setup_commp setup_seleport setup_t1_ck setup_unit setup_yscale "
    "graph_backcolorck graph_t1colorck graph_titleck grid_backcolorck grid_flatck grid_lineck grid_lnsetck "
    "grid_raisedck graph_backcolor graph_t1backcolor grid_backcolor moni_backcolor moni_forecolor");

// The file's entries as read through the store, in the same form as Defaults.
QString dump(const QString &path)
{
    QSettings raw(path, QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("VK47"));
    const SettingsStore store(path);
    QStringList entries;
    for (const QString &key : raw.childKeys())
        entries << key + u'=' + store.get(key, QStringLiteral("?"));
    return entries.join(u'|');
}

void write(const QString &path, const QString &entries)
{
    SettingsStore store(path);
    for (const QString &entry : entries.split(u'|', Qt::SkipEmptyParts))
        store.save(entry.section(u'=', 0, 0), entry.section(u'=', 1));
}

// `value` stored under each of the blank-separated `keys`.
QString everyKey(const QString &keys, const QString &value)
{
    return QString(keys + u' ').replace(QStringLiteral(" "), QStringLiteral("=%1|").arg(value));
}

// The defaults with some entries changed.
QString with(const QString &entries)
{
    QString all = Defaults;
    for (const QString &entry : entries.split(u'|'))
        all.replace(QRegularExpression(entry.section(u'=', 0, 0) + QStringLiteral("=[^|]*")), entry);
    return all;
}

// The store flushes every key it saves to the disk; in a memory folder that costs nothing.
QString scratchTemplate()
{
    return QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm/tst_settings-XXXXXX")
                                                              : QString();
}

// `stored` is loaded (derived: time-axis factor, port index) and saved again as `saved`.
void row(const char *name, const QString &stored, const QString &saved, float factor = 0.25f, int port = 0,
         bool readUnit = true)
{
    QTest::newRow(name) << stored << saved << factor << port << readUnit;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir{scratchTemplate()};

private Q_SLOTS:
    void loadThenSave_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<float>("factor");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("readUnit");
        row("first run", QString(), Defaults);
        row("round trip", Changed, Changed, 1.25f, 2);
        // numbers that do not fit their field leave the defaults
        row("word", everyKey(Numbers, QStringLiteral("abc")), Defaults);
        row("fraction", everyKey(Numbers, QStringLiteral("1.5")), Defaults);
        row("beyond 32 bits", everyKey(Numbers, QStringLiteral("99999999999")), Defaults);
        row("empty", everyKey(Numbers, QString()), Defaults);
        row("beyond 16 bits", everyKey(Numbers, QStringLiteral("40000")),
            with("graph_backcolor=40000|graph_t1backcolor=40000|grid_backcolor=40000|moni_backcolor=40000|"
                 "moni_forecolor=40000"));
        // key names fold case: what the Setup dialog saves is what a later run loads
        row("selePort, then seleport", "setup_autoScan=0|setup_selePort=0|setup_seleport=1",
            with("setup_autoscan=0|setup_seleport=1"));
        row("YScale, then Yscale", "setup_YScale=1|setup_Yscale=2", with("setup_yscale=2"), 0.75f);
        // setup_unit belongs to DCV: read only when asked
        row("unit read", "setup_unit=1", with("setup_unit=1"));
        row("unit not read", "setup_unit=1", Defaults, 0.25f, 0, false);
        // load rules
        row("empty texts take their defaults", "setup_T1Hi=|setup_T1Low=|Power_cos=", Defaults);
        // rates and voltage channels the Setup dialog refuses: "0" and none
        row("negative, not a number, no such channel, itself",
            "Power_V=-5|Power_cos=abc|Power_Unit=1e3|Energy_pair1=1|Energy_pair2=7|Energy_pair3=x",
            with("power_cos=0|power_unit=0|power_v=0"));
        row("no scale, past COM16", "setup_Yscale=-1|setup_commp=16", Defaults);
        row("past the scale list, negative port", "setup_Yscale=8|setup_commp=-1", Defaults);
        row("scale 50", "setup_Yscale=1", with("setup_yscale=1"), 0.5f);
        row("scale 200, COM16", "setup_Yscale=7|setup_commp=15", with("setup_yscale=7|setup_commp=15"), 2.0f,
            15);
        row("scan wins", "setup_autoScan=1|setup_seleport=1", Defaults);
    }
    void loadThenSave()
    {
        QFETCH(QString, stored);
        QFETCH(QString, saved);
        QFETCH(float, factor);
        QFETCH(int, port);
        QFETCH(bool, readUnit);
        const QString in = m_dir.filePath(QString::fromUtf8(QTest::currentDataTag()));
        write(in, stored);
        SettingsStore source(in), out(in + QStringLiteral(".saved"));
        UserSettings loaded(source), saving(out); // saving takes the loaded values as OK does
        loaded.loadSetup(readUnit);
        loaded.loadOptions();
        QCOMPARE(loaded.values().timeAxisFactor, factor);
        QCOMPARE(loaded.values().portIndex, qint16(port));
        saving.saveSetup(loaded.values());
        saving.saveOptions(loaded.values());
        QCOMPARE(dump(out.fileName()), saved);
    }
    // The file a save dialog's typed name stands for, with the filter entry chosen.
    void saveFileNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("written");
        const auto row = [](const char *typed, int chosen, const char *written) {
            QTest::newRow(typed) << QString::fromUtf8(typed) << chosen << QString::fromUtf8(written);
        };
        // no suffix, .xls and the CSV filter: tst_gui_dialogs' saveDialogAsksOnTheFinalName
        row("/r/rec1.XLS", 1, "/r/rec1.xlsx");
        row("/r/rec1.CSV", 0, "/r/rec1.CSV");
        row("/r/rec1.", 0, "/r/rec1.xlsx");
        row("/r.d/rec1.v2", 0, "/r.d/rec1.v2.xlsx");
        row("/r.d/", 0, "/r.d/");
    }
    void saveFileNames()
    {
        QFETCH(QString, typed);
        QFETCH(int, chosen);
        const QString filter = QStringLiteral("Excel File(*.xlsx);;CSV File(*.csv)");
        QTEST(SaveFileNames::finalName(typed, filter, chosen), "written");
        QCOMPARE(SaveFileNames::finalName(QStringLiteral("g"), QStringLiteral("BMP(*.bmp);;JPEG(*.jpg)"), 1),
                 "g.jpg");
    }
    // The dialogs open where the last file was saved while that folder exists, else where the
    // command suggests.
    void saveFolder()
    {
        const QTemporaryDir dir;
        SettingsStore store(dir.filePath(QStringLiteral("s.ini")));
        const QString records = dir.filePath(QStringLiteral("records/261205_151230"));
        QCOMPARE(SaveFolder::startPath(store, records), records);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("last")));
        SaveFolder::remember(store, dir.filePath(QStringLiteral("last/rec1.xlsx")));
        QCOMPARE(SaveFolder::startPath(store, records), dir.filePath(QStringLiteral("last/261205_151230")));
        QCOMPARE(SaveFolder::startFolder(store, records), dir.filePath(QStringLiteral("last")));
        QVERIFY(QDir(dir.filePath(QStringLiteral("last"))).removeRecursively());
        QCOMPARE(SaveFolder::startPath(store, records), records);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

#include <QtTest>

#include "core/measurement/MeasurementTables.h"
#include "core/record/GridStyle.h"
#include "core/settings/Settings.h"
#include "core/setup/AlarmLimits.h"
#include "core/setup/AlarmPart.h"
#include "core/setup/EnergyPairing.h"
#include "core/setup/OptionsForm.h"
#include "core/setup/PortPair.h"
#include "core/setup/PowerFields.h"
#include "core/setup/SetupKeys.h"
#include "core/setup/SetupOk.h"
#include "core/setup/TimeAxis.h"

Q_DECLARE_METATYPE(OptionsTab)

using namespace Qt::StringLiterals;

namespace
{

AlarmLimits::Context recording(int function, const QString &unit, int prefix = Measurement::NoPrefix)
{
    Measurement::DisplayLimits limits;
    displayLimits(function, prefix, &limits);
    return {true, function, unit, limits};
}

AlarmState alarmState(bool recording, int function, bool checked, int choice = 0)
{
    return {recording, function, checked, choice, QStringLiteral("12.5"), QStringLiteral("-3")};
}

// Flags as '1' (set) and '0'.
QString bits(std::initializer_list<bool> flags)
{
    QString text;
    for (bool flag : flags)
        text += flag ? u'1' : u'0';
    return text;
}

const MonitorAlarmView Off;

// A user's values, every one away from the first run's.
SetupValues edited()
{
    SetupValues v;
    v.autoScan = false;
    v.selePort = true;
    v.commp = 4;
    v.Alarm = true;
    v.T1_CK = 1;
    v.T1Hi = QStringLiteral("250");
    v.T1Low = QStringLiteral("-3.5");
    v.YScale = 1;
    v.unit = 1;
    v.Channel_n = {" Motor ", "M2", "M3", "M4", "M5", "Pumpe ü"};
    v.Channel_sn = {"SN1", "S2", "S3", "S4", "S5", "S6"};
    v.Channel_p = {"Hall 1", "P2", "P3", "P4", "P5", "P6"};
    v.Power_cos = QStringLiteral("0.95");
    v.Power_V = QStringLiteral("230");
    v.Power_Unit = QStringLiteral("0.31");
    v.Energy_pair = {"2", "0", "0", "0", "0", "0"};
    return v;
}

TimeAxis::GraphState graphAt(int samples, bool visible = true, bool recording = false)
{
    return {1.0f, samples > 0, visible, recording, samples, samples + 1};
}

SetupOkContext recordingDca()
{
    return {true,         Measurement::DCA,   false, AlarmRules::unitsFor(Measurement::DCA, 0),
            graphAt(230), {"1_Ch1", "3_Ch3"}, 0,     true};
}

// Options away from the first run's.
OptionValues changedOptions()
{
    OptionValues changed;
    changed.Moni_ForeColor = 1;
    changed.Moni_BackColor = 2;
    changed.Graph_BackColor = 3;
    changed.Graph_T1BackColor = 4;
    changed.Graph_MainTitle = QStringLiteral("Line 3");
    changed.Grid_lineCk = changed.Grid_FlatCk = false;
    changed.Grid_RaisedCk = true;
    changed.Grid_BackColor = 5;
    return changed;
}

// Grid boxes as "lines flat inset raised".
constexpr OptionCheck GridBoxes[] = {OptionCheck::GridLines, OptionCheck::GridFlat, OptionCheck::GridInset,
                                     OptionCheck::GridRaised};

} // namespace

class TestSetupRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The port pair after clicks and from the store: auto scan or select port, one always
    // checked, the port buttons only with select port.
    void portPairAndLimitKeys()
    {
        QStringList pairs; // auto scan, select port, port buttons
        for (const PortPair &pair : {PortPair::afterAutoScanClick(true), PortPair::afterAutoScanClick(false),
                                     PortPair::afterSelectPortClick(true),
                                     PortPair::afterSelectPortClick(false), PortPair::fromStored(false, true),
                                     PortPair::fromStored(true, true), PortPair::fromStored(false, false)})
            pairs << bits({pair.autoScan, pair.selePort, pair.portButtonsEnabled()});
        QCOMPARE(pairs, QStringList({"100", "011", "011", "100", "011", "100", "100"}));
        // Keys a limit box takes, by the main channel's function.
        QStringList taken;
        for (int function : {int(Measurement::DCV), int(Measurement::DCA), int(Measurement::ACV),
                             int(Measurement::ACA), int(Measurement::OHM), -1}) {
            taken << QString();
            for (QChar key : QStringLiteral("\b-.0123456789+eE, a\t"))
                if (AlarmLimits::acceptsKey(function, key)) taken.last() += key;
        }
        QCOMPARE(taken,
                 QStringList({"\b-.0123456789", "\b-.0123456789", "\b.0123456789", "\b.0123456789", "", ""}));
    }
    // Typing leaves the decimals alone (each key would round again what the next refines);
    // leaving the box rounds them.
    void limitText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<AlarmLimits::Context>("context");
        QTest::addColumn<bool>("left");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("entryError");
        const auto dcaA = recording(Measurement::DCA, "A");
        const auto dcvV = recording(Measurement::DCV, "V");
        const auto dcvMv = recording(Measurement::DCV, "mV", 2);
        const auto acv = recording(Measurement::ACV, "V");
        AlarmLimits::Context noSample = dcaA;
        noSample.recordHasSample = false;
        const auto row = [](const char *name, const char *typed, const AlarmLimits::Context &context,
                            bool left, const char *text, bool entryError = false) {
            QTest::newRow(name) << QString::fromUtf8(typed) << context << left << QString::fromUtf8(text)
                                << entryError;
        };
        row("typing DCV in V keeps the digits", "12.3456", dcvV, false, "12.3456");
        row("DCV in V rounds to three decimals", "12.3456", dcvV, true, "12.346");
        row("DCA rounds to one decimal", "2.95678", dcaA, true, "3.0");
        row("DCA 12.3456", "12.3456", dcaA, true, "12.3");
        row("DCV in mV one decimal", "12.3456", dcvMv, true, "12.3");
        row("DCV three decimals stay", "12.345", dcvV, true, "12.345");
        row("trailing zero cut", "12.30", dcaA, true, "12.3");
        row("above the top", "1500.25", acv, false, "1000");
        row("below the bottom", "-1234.5", dcaA, false, "-1000");
        row("negative AC", "-5", acv, false, "0");
        row("mV top", "2000000", dcvMv, false, "1000000");
        row("fractional top", "5", recording(Measurement::DCV, "V", 5), false, "0"); // 0.001 V in "M"
        row("at the top", "1000", acv, true, "1000");
        row("not a number", "12a", dcaA, false, "100", true);
        row("two points", "1.2.3", dcaA, false, "100", true);
        row("a minus starts a number", "-", dcaA, false, "-");
        row("minus point", "-.", dcvV, false, "-.");
        row("a lone minus left", "-", dcaA, true, "100", true);
        row("a lone point left", ".", dcaA, true, "100", true);
        row("empty", "", dcaA, true, "");
        row("no sample yet", "abc", noSample, true, "abc");
    }
    void limitText()
    {
        QFETCH(QString, typed);
        QFETCH(AlarmLimits::Context, context);
        QFETCH(bool, left);
        const AlarmLimits::Edit edit =
            left ? AlarmLimits::editingFinished(typed, context) : AlarmLimits::textChanged(typed, context);
        QTEST(edit.text, "text");
        QTEST(edit.entryError, "entryError");
    }
    // The alarm part after Load or OK: Check2 enabled, checked, the other controls enabled,
    // alarmEnabled, alarmActive cleared; the low limit; the monitor's images, limits and units;
    // the unit list.
    void alarmPart_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<AlarmState>("state");
        QTest::addColumn<QString>("applied");
        AlarmState sounding = alarmState(true, Measurement::DCV, true);
        sounding.alarmActive = true;
        const auto row = [](const char *name, bool ok, const AlarmState &state, const char *applied) {
            QTest::newRow(name) << ok << state << QString::fromUtf8(applied);
        };
        row("load, not recording", false, alarmState(false, Measurement::DCV, true), "00000 -3 00 -/- / ");
        row("load, DCV on, Hi", false, alarmState(true, Measurement::DCV, true),
            "11110 -3 10 12.5/- V/ mV,V");
        row("load, ACA on, Low: 0", false, alarmState(true, Measurement::ACA, true, 1),
            "11110 0 10 -/0 /A A");
        row("load, DCA off", false, alarmState(true, Measurement::DCA, false), "10001 -3 00 -/- / A");
        row("load, OHM", false, alarmState(true, Measurement::OHM, true), "00001 -3 00 -/- / ");
        row("load, sounding", false, sounding, "11110 -3 01 12.5/- V/ mV,V");
        row("ok, not recording", true, alarmState(false, Measurement::DCA, true), "00000 -3 00 -/- / A");
        row("ok, no alarm for CAP", true, alarmState(true, Measurement::CAP, true), "00001 -3 00 -/- / A");
        row("ok, switched off", true, alarmState(true, Measurement::DCA, false), "10001 -3 00 -/- / A");
        row("ok, Hi", true, alarmState(true, Measurement::DCA, true), "11110 -3 10 12.5/- A/ A");
        row("ok, Low keeps a negative DC limit", true, alarmState(true, Measurement::DCA, true, 1),
            "11110 -3 10 -/-3 /A A");
    }
    void alarmPart()
    {
        QFETCH(bool, ok);
        QFETCH(AlarmState, state);
        const AlarmApplication a = ok ? AlarmPart::onOk(state, AlarmRules::unitsFor(Measurement::DCA, 0))
                                      : AlarmPart::onLoad(state, 1);
        const MonitorAlarmView &m = a.monitor;
        const QString applied =
            bits({a.checkEnabled, a.checked, a.controlsEnabled, a.alarmEnabled, a.clearAlarmActive}) + u' ' +
            a.lowText + u' ' + bits({m.armedImage, m.soundingImage}) + u' ' + m.highLimit + u'/' +
            m.lowLimit + u' ' + m.highUnit + u'/' + m.lowUnit + u' ' + a.units.entries.join(u',');
        QTEST(applied, "applied");
    }
    void timeAxis_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<TimeAxis::GraphState>("graph");
        QTest::addColumn<float>("factor");
        QTest::addColumn<bool>("redraw");
        QTest::addColumn<QStringList>("pageBox");
        QTest::newRow("100 to 50, 230 samples: page 5")
            << 1 << graphAt(230) << 0.5f << true << QStringList{"0", "5"};
        QTest::newRow("100 to 200: page 2") << 7 << graphAt(230) << 2.0f << true << QStringList{"0", "2"};
        QTest::newRow("graph hidden") << 1 << graphAt(230, false) << 0.5f << true << QStringList{"0"};
        QTest::newRow("unchanged") << 3 << graphAt(230) << 1.0f << false << QStringList{};
        QTest::newRow("no readings") << 0 << graphAt(0) << 0.25f << false << QStringList{};
        QTest::newRow("recording: the next row's page")
            << 1 << graphAt(250, true, true) << 0.5f << true << QStringList{"0", "6"};
        QTest::newRow("a full last page") << 1 << graphAt(250) << 0.5f << true << QStringList{"0", "5"};
    }
    void timeAxis()
    {
        QFETCH(int, position);
        QFETCH(TimeAxis::GraphState, graph);
        const TimeAxis::Change change = TimeAxis::onSetupOk(position, graph);
        QTEST(change.factor, "factor");
        QTEST(change.redrawFrame, "redraw");
        QTEST(change.pageBoxTexts, "pageBox");
    }
    // A key into a power field (the text it meets, less any selection it replaces).
    void powerFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("key");
        QTest::addColumn<PowerFields::KeyOutcome::Action>("action");
        QTest::addColumn<QString>("newText");
        constexpr auto replace = PowerFields::KeyOutcome::Replace;
        constexpr auto accept = PowerFields::KeyOutcome::Accept;
        constexpr auto reject = PowerFields::KeyOutcome::Reject;
        const auto row = [](const char *name, const char *text, QChar key,
                            PowerFields::KeyOutcome::Action action, const char *newText) {
            QTest::newRow(name) << QString::fromUtf8(text) << key << action << QString::fromUtf8(newText);
        };
        row("point into empty", "", u'.', replace, "0.");
        row("point into Input field", "Input field", u'.', replace, "0.");
        row("point after a digit", "1", u'.', accept, "");
        row("digit", "", u'7', accept, "");
        row("backspace", "1", SetupKeys::Backspace, accept, "");
        row("minus", "", u'-', reject, "");
        row("letter", "1", u'e', reject, "");
        row("comma", "1", u',', reject, "");
    }
    void powerFields()
    {
        QFETCH(QString, text);
        QFETCH(QChar, key);
        QFETCH(PowerFields::KeyOutcome::Action, action);
        QFETCH(QString, newText);
        const PowerFields::KeyOutcome outcome = PowerFields::key(key, text);
        QCOMPARE(QVariantList({int(outcome.action), outcome.text, outcome.cursor}),
                 QVariantList({int(action), newText, action == PowerFields::KeyOutcome::Replace ? 2 : -1}));
    }
    // Leaving a power field: a number stays, a leading point gets its zero, anything else is "0".
    void powerFieldLeft()
    {
        QStringList left;
        for (const char *typed : {"0.95", ".95", "230.", "", "Input field", "1.2.3"})
            left << PowerFields::finished(QString::fromUtf8(typed));
        QCOMPARE(left, QStringList({"0.95", "0.95", "230.", "0", "0", "0"}));
    }
    void defaultButton()
    {
        SetupValues expected = edited();
        const SetupValues first;
        expected.autoScan = true, expected.selePort = false;
        expected.T1Hi = expected.T1Low = QStringLiteral("100");
        expected.YScale = 3; // "100", not the first run's "25"
        expected.Channel_n = first.Channel_n, expected.Channel_sn = first.Channel_sn,
        expected.Channel_p = first.Channel_p;
        expected.Power_V = QStringLiteral("110"), expected.Power_Unit = QStringLiteral("0");
        expected.Power_cos = QStringLiteral("0.8");
        expected.Energy_pair = first.Energy_pair;
        QCOMPARE(withDefaultButton(edited()), expected); // port, alarm switch, Hi/Low and unit stay
    }
    void energyPairing_data()
    {
        QTest::addColumn<QString>("change"); // field=value; empty: none
        QTest::addColumn<QString>("refusal");
        const QString rates =
            u"The voltage, the power factor and the unit price must be numbers of 0 or more."_s;
        QTest::newRow("channel 1 from the DCV channel 2") << QString() << QString();
        QTest::newRow("from a channel not heard from") << u"pair3=6"_s << QString();
        QTest::newRow("from itself") << u"pair3=3"_s << u"Channel 3 cannot take its voltage from itself."_s;
        QTest::newRow("from a current")
            << u"pair2=3"_s
            << u"Channel 2 cannot take its voltage from channel 3, which measures a current."_s;
        QTest::newRow("from a resistance")
            << u"pair1=4"_s
            << u"Channel 1 cannot take its voltage from channel 4, which measures no voltage."_s;
        QTest::newRow("negative voltage") << u"V=-1"_s << rates;
        QTest::newRow("power factor not a number") << u"cos=x"_s << rates;
        QTest::newRow("no price") << u"price="_s << rates;
    }
    void energyPairing()
    {
        QFETCH(QString, change);
        SetupValues values = edited(); // channel 1 takes channel 2's voltage
        const QString field = change.section(u'=', 0, 0), value = change.section(u'=', 1);
        if (field.startsWith(u"pair")) values.Energy_pair[std::size_t(field.mid(4).toInt() - 1)] = value;
        if (field == u"V") values.Power_V = value;
        if (field == u"cos") values.Power_cos = value;
        if (field == u"price") values.Power_Unit = value;
        const std::array<int, 6> functions{Measurement::DCA, Measurement::ACV,       Measurement::ACA,
                                           Measurement::OHM, EnergyPairing::Unknown, EnergyPairing::Unknown};
        QTEST(EnergyPairing::problem(values, functions), "refusal");
    }
    void okPlan()
    {
        SetupValues dialog = edited();
        dialog.T1_CK = 0;
        const SetupOkPlan plan = planSetupOk(dialog, recordingDca());
        QCOMPARE(plan.alarm.monitor, (MonitorAlarmView{true, false, "250", "-", "A", ""}));
        QCOMPARE(plan.timeAxis.pageBoxTexts, QStringList({"0", "5"}));
        SetupValues saved = dialog;
        saved.unit = 0; // the unit list's selection
        QCOMPARE(plan.values, saved);
        QCOMPARE(plan.tableHeader, (std::array<QString, 6>{"Motor", "M2", "M3", "M4", "M5", "Pumpe ü"}));
        QCOMPARE(plan.channelList, QStringList({"1_ Motor ", "3_M3"}));
        QVERIFY(plan.monitorChannel);
        QCOMPARE(plan.monitorChannel->serialNumber + plan.monitorChannel->place, "SN1Hall 1");
        SetupOkContext stopped; // no recording
        stopped.mainFunction = Measurement::DCV;
        const SetupOkPlan off = planSetupOk(edited(), stopped);
        QVERIFY(!off.values.Alarm);   // the alarm is switched off and saved so
        QCOMPARE(off.values.unit, 1); // an empty unit list keeps the stored unit
        QCOMPARE(off.alarm.monitor, Off);
        QVERIFY(!off.alarm.alarmEnabled && off.channelList.isEmpty() && !off.monitorChannel &&
                !off.powerLabels);
    }
    // The power window's labels follow OK only for a current with the power command on.
    void okPowerLabels()
    {
        SetupOkContext context = recordingDca();
        context.selectedChannel = 5;
        for (const auto &[function, powerChecked, labels] :
             {std::tuple{Measurement::DCA, true, true}, std::tuple{Measurement::ACA, true, true},
              std::tuple{Measurement::ACV, true, false}, std::tuple{Measurement::DCA, false, false}}) {
            context.mainFunction = function;
            context.powerCommandChecked = powerChecked;
            const std::optional<SetupOkPlan::PowerLabels> shown = planSetupOk(edited(), context).powerLabels;
            QCOMPARE(
                shown ? QStringList({shown->channel.name, shown->channel.serialNumber, shown->channel.place,
                                     shown->rates.Power_V, shown->rates.Power_cos, shown->rates.Power_Unit})
                      : QStringList(),
                labels ? QStringList({"Pumpe ü", "S6", "P6", "230", "0.95", "0.31"}) : QStringList());
        }
    }
    void channelListEntries()
    {
        QCOMPARE(channelListEntry(1, QStringLiteral("Ch2")), "2_Ch2");
        const QList<std::pair<QString, int>> entries{{"1_Ch1", 0}, {"6_Pump", 5},  {"7_x", -1},
                                                     {"0_x", -1},  {"Pump_1", -1}, {"", -1}};
        for (const auto &[entry, channel] : entries)
            QCOMPARE(channelOfListEntry(entry), channel);
    }
    // The grid boxes from stored values, after clicks ("I+" checks GridInset, "L-" clears the
    // lines), and the table's line style after OK.
    void gridStyles_data()
    {
        QTest::addColumn<QString>("stored"); // lines, flat, inset, raised
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<GridStyle::LineStyle>("style");
        using S = GridStyle::LineStyle;
        QTest::newRow("first run") << "1100" << QStringList{} << "1100" << S::Flat;
        QTest::newRow("one choice") << "1100" << QStringList{"I+"} << "1010" << S::Inset;
        QTest::newRow("none checked: none") << "1100" << QStringList{"I+", "I-"} << "1000" << S::None;
        QTest::newRow("lines off keep the style") << "1100" << QStringList{"L-"} << "0100" << S::None;
        QTest::newRow("stored two: the last wins") << "1011" << QStringList{} << "1001" << S::Raised;
    }
    void gridStyles()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, clicks);
        OptionValues values;
        bool *flags[] = {&values.Grid_lineCk, &values.Grid_FlatCk, &values.Grid_lnsetCk,
                         &values.Grid_RaisedCk};
        for (int i = 0; i < 4; ++i)
            *flags[i] = stored.at(i) == u'1';
        OptionsForm form(values);
        for (const QString &click : clicks)
            form.click(GridBoxes[QStringLiteral("LFIR").indexOf(click.at(0))], click.at(1) == u'+');
        QString checked;
        for (OptionCheck box : GridBoxes)
            checked += form.isChecked(box) ? u'1' : u'0';
        QTEST(checked, "checked");
        QCOMPARE(form.isEnabled(OptionCheck::GridRaised), checked.at(0) == u'1');
        QCOMPARE(form.tableChanged(), !clicks.isEmpty());
        Settings settings;
        form.ok().values.toSettings(settings);
        QTEST(GridStyle::lineStyle(settings), "style");
    }
    void defaults_data()
    {
        QTest::addColumn<OptionsTab>("tab");
        QTest::addColumn<OptionValues>("expected");
        QTest::addColumn<bool>("graphChanged");
        QTest::addColumn<bool>("tableChanged");
        OptionValues table = changedOptions(), graph = table, monitor = table;
        table.Grid_lineCk = table.Grid_FlatCk = true, table.Grid_RaisedCk = false,
        table.Grid_BackColor = 16777215;
        QTest::newRow("Table") << OptionsTab::Table << table << false << true;
        graph.Graph_BackColor = 8388608, graph.Graph_T1BackColor = 255,
        graph.Graph_MainTitle = QStringLiteral("ABC");
        graph.Graph_TitleCk = true; // although the first run hides the title
        QTest::newRow("Graph") << OptionsTab::Graph << graph << true << false;
        monitor.Moni_ForeColor = 16777215, monitor.Moni_BackColor = 32768;
        QTest::newRow("Monitor") << OptionsTab::Monitor << monitor << false << false;
    }
    void defaults()
    {
        QFETCH(OptionsTab, tab);
        OptionsForm form(changedOptions());
        form.restoreDefaults(tab);
        QTEST(form.values(), "expected");
        QTEST(form.graphChanged(), "graphChanged");
        QTEST(form.tableChanged(), "tableChanged");
    }
    // The colour boxes cannot be cleared. What OK redraws: monitor colours alone (and a cancelled
    // table pick) neither the graph nor the table; a cancelled graph pick counts as a change; the
    // title box enables the title.
    void changedFlags()
    {
        OptionsForm form{OptionValues()};
        for (OptionCheck check :
             {OptionCheck::DisplayValueForeColor, OptionCheck::DisplayBackColor, OptionCheck::GraphBackColor,
              OptionCheck::ScaleColor, OptionCheck::DataRowBackColor}) {
            form.click(check, false);
            QVERIFY(form.isChecked(check));
        }
        QVERIFY(form.values() == OptionValues());
        form.colorPicked(OptionSwatch::DisplayValueForeColor, 255);
        form.colorPicked(OptionSwatch::DataRowBackColor, std::nullopt);
        QVERIFY(!form.tableChanged() && !form.ok().redrawGraph && form.ok().values.Moni_ForeColor == 255);
        form.colorPicked(OptionSwatch::GraphBackColor, std::nullopt);
        QVERIFY(form.graphChanged() && form.color(OptionSwatch::GraphBackColor) == 8388608);
        OptionsForm table{OptionValues()};
        table.colorPicked(OptionSwatch::DataRowBackColor, 12632256);
        QVERIFY(table.tableChanged() && table.ok().values.Grid_BackColor == 12632256);
        OptionsForm title{OptionValues()};
        QVERIFY(!title.titleEnabled());
        title.click(OptionCheck::GraphTitle, true);
        title.titleEdited(QStringLiteral("Line 3"));
        QVERIFY(title.titleEnabled() && !title.tableChanged() && title.ok().redrawGraph);
        QCOMPARE(title.ok().values.Graph_MainTitle, "Line 3");
    }
};

QTEST_GUILESS_MAIN(TestSetupRules)
#include "tst_setuprules.moc"

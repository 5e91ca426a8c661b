#include <QtTest>

#include "core/measurement/MeasurementTables.h"
#include "core/settings/Settings.h"
#include "core/setup/AlarmLimits.h"
#include "core/setup/AlarmPart.h"
#include "core/setup/OptionsForm.h"
#include "core/setup/PortPair.h"
#include "core/setup/PowerFields.h"
#include "core/setup/SetupKeys.h"
#include "core/setup/SetupOk.h"
#include "core/setup/TimeAxis.h"
#include "core/table/GridStyle.h"

Q_DECLARE_METATYPE(OptionCheck)
Q_DECLARE_METATYPE(OptionsTab)

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
    AlarmState state;
    state.recording = recording;
    state.mainFunction = function;
    state.checked = checked;
    state.choice = choice;
    state.highText = QStringLiteral("12.5");
    state.lowText = QStringLiteral("-3");
    return state;
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
    return v;
}

SetupOkContext recordingDca()
{
    SetupOkContext context;
    context.recording = true;
    context.mainFunction = Measurement::DCA;
    context.units = AlarmLimits::unitsFor(Measurement::DCA, 0);
    context.channelList = QStringList{"1_Ch1", "3_Ch3"};
    context.selectedChannel = 0;
    context.powerCommandChecked = true;
    return context;
}

TimeAxis::GraphState graphAt(int samples, bool visible = true, bool recording = false)
{
    TimeAxis::GraphState graph;
    graph.currentFactor = 1.0f;
    graph.mainHasReadings = samples > 0;
    graph.graphVisible = visible;
    graph.recording = recording;
    graph.mainSampleCount = samples;
    graph.mainNextRow = samples + 1;
    return graph;
}

// Grid boxes as "lines flat inset raised", '1' checked.
constexpr OptionCheck GridBoxes[] = {OptionCheck::GridLines, OptionCheck::GridFlat, OptionCheck::GridInset,
                                     OptionCheck::GridRaised};

} // namespace

class TestSetupRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portPair_data()
    {
        QTest::addColumn<PortPair>("pair");
        QTest::addColumn<bool>("autoScan"); // and the port buttons greyed
        QTest::newRow("auto scan checked") << PortPair::afterAutoScanClick(true) << true;
        QTest::newRow("auto scan cleared") << PortPair::afterAutoScanClick(false) << false;
        QTest::newRow("select port checked") << PortPair::afterSelectPortClick(true) << false;
        QTest::newRow("select port cleared") << PortPair::afterSelectPortClick(false) << true;
        QTest::newRow("stored select port") << PortPair::fromStored(false, true) << false;
        QTest::newRow("stored both: auto scan wins") << PortPair::fromStored(true, true) << true;
        QTest::newRow("stored neither") << PortPair::fromStored(false, false) << true;
    }
    void portPair()
    {
        QFETCH(PortPair, pair);
        QFETCH(bool, autoScan);
        QCOMPARE(pair.autoScan, autoScan);
        QCOMPARE(pair.selePort, !autoScan);
        QCOMPARE(pair.portButtonsEnabled(), !autoScan);
    }

    void limitKeys_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<QString>("accepted");
        QTest::newRow("DCV") << int(Measurement::DCV) << "\b-.0123456789";
        QTest::newRow("DCA") << int(Measurement::DCA) << "\b-.0123456789";
        QTest::newRow("ACV") << int(Measurement::ACV) << "\b.0123456789";
        QTest::newRow("ACA") << int(Measurement::ACA) << "\b.0123456789";
        QTest::newRow("OHM") << int(Measurement::OHM) << "";
        QTest::newRow("no main channel") << -1 << "";
    }
    void limitKeys()
    {
        QFETCH(int, function);
        QString taken;
        for (QChar key : QStringLiteral("\b-.0123456789+eE, a\t"))
            if (AlarmLimits::acceptsKey(function, key)) taken += key;
        QTEST(taken, "accepted");
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
        QCOMPARE(AlarmLimits::entryErrorMessage(), "Data entry error ! ");
    }

    void units_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("selected");
        QTest::newRow("DCV stored V") << int(Measurement::DCV) << 1 << QStringList{"mV", "V"} << "V";
        QTest::newRow("DCV nothing stored") << int(Measurement::DCV) << -1 << QStringList{"mV", "V"} << "mV";
        QTest::newRow("ACV") << int(Measurement::ACV) << 1 << QStringList{"V"} << "V";
        QTest::newRow("DCA") << int(Measurement::DCA) << 1 << QStringList{"A"} << "A";
        QTest::newRow("ACA") << int(Measurement::ACA) << 0 << QStringList{"A"} << "A";
        QTest::newRow("Hz") << int(Measurement::Hz) << 0 << QStringList{} << "";
    }
    void units()
    {
        QFETCH(int, function);
        QFETCH(int, stored);
        const AlarmLimits::Units units = AlarmLimits::unitsFor(function, stored);
        QTEST(units.entries, "entries");
        QTEST(units.selected(), "selected");
    }

    void alarmOnLoad_data()
    {
        QTest::addColumn<AlarmState>("state");
        QTest::addColumn<bool>("checkEnabled");
        QTest::addColumn<bool>("armed"); // checked, controls enabled and alarmEnabled
        QTest::addColumn<bool>("clearAlarmActive");
        QTest::addColumn<QString>("lowText");
        QTest::addColumn<MonitorAlarmView>("monitor");
        QTest::addColumn<QStringList>("units");
        const QStringList dcv{"mV", "V"};
        AlarmState sounding = alarmState(true, Measurement::DCV, true);
        sounding.alarmActive = true;
        QTest::newRow("not recording: disabled and off") << alarmState(false, Measurement::DCV, true) << false
                                                         << false << false << "-3" << Off << QStringList{};
        QTest::newRow("DCV switched on, Hi")
            << alarmState(true, Measurement::DCV, true) << true << true << false << "-3"
            << MonitorAlarmView{true, false, "12.5", "-", "V", ""} << dcv;
        QTest::newRow("ACA on, Low: negative becomes 0")
            << alarmState(true, Measurement::ACA, true, 1) << true << true << false << "0"
            << MonitorAlarmView{true, false, "-", "0", "", "A"} << QStringList{"A"};
        QTest::newRow("DCA switched off") << alarmState(true, Measurement::DCA, false) << true << false
                                          << true << "-3" << Off << QStringList{"A"};
        QTest::newRow("OHM: off") << alarmState(true, Measurement::OHM, true) << false << false << true
                                  << "-3" << Off << QStringList{};
        QTest::newRow("sounding") << sounding << true << true << false << "-3"
                                  << MonitorAlarmView{false, true, "12.5", "-", "V", ""} << dcv;
    }
    void alarmOnLoad()
    {
        QFETCH(AlarmState, state);
        QFETCH(bool, armed);
        const AlarmApplication applied = AlarmPart::onLoad(state, 1);
        QTEST(applied.checkEnabled, "checkEnabled");
        QCOMPARE(applied.checked, armed);
        QCOMPARE(applied.controlsEnabled, armed);
        QCOMPARE(applied.alarmEnabled, armed);
        QTEST(applied.clearAlarmActive, "clearAlarmActive");
        QTEST(applied.lowText, "lowText");
        QTEST(applied.monitor, "monitor");
        QTEST(applied.units.entries, "units");
    }

    void alarmOnOk_data()
    {
        QTest::addColumn<AlarmState>("state");
        QTest::addColumn<bool>("armed"); // checked and alarmEnabled
        QTest::addColumn<bool>("clearAlarmActive");
        QTest::addColumn<MonitorAlarmView>("monitor");
        QTest::newRow("not recording") << alarmState(false, Measurement::DCA, true) << false << false << Off;
        QTest::newRow("function without alarm")
            << alarmState(true, Measurement::CAP, true) << false << true << Off;
        QTest::newRow("switched off") << alarmState(true, Measurement::DCA, false) << false << true << Off;
        QTest::newRow("Hi") << alarmState(true, Measurement::DCA, true) << true << false
                            << MonitorAlarmView{true, false, "12.5", "-", "A", ""};
        QTest::newRow("Low keeps a negative DC limit")
            << alarmState(true, Measurement::DCA, true, 1) << true << false
            << MonitorAlarmView{true, false, "-", "-3", "", "A"};
    }
    void alarmOnOk()
    {
        QFETCH(AlarmState, state);
        QFETCH(bool, armed);
        const AlarmApplication applied = AlarmPart::onOk(state, AlarmLimits::unitsFor(Measurement::DCA, 0));
        QCOMPARE(applied.checked, armed);
        QCOMPARE(applied.alarmEnabled, armed);
        QTEST(applied.clearAlarmActive, "clearAlarmActive");
        QTEST(applied.monitor, "monitor");
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
        QCOMPARE(TimeAxis::entries(), QStringList({"25", "50", "75", "100", "125", "150", "175", "200"}));
    }

    // A key into a power field (the text it meets, less any selection it replaces), or, for a
    // null key, leaving the field.
    void powerFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("key");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("newText");
        const int replace = int(PowerFields::KeyOutcome::Replace);
        const int accept = int(PowerFields::KeyOutcome::Accept);
        const int reject = int(PowerFields::KeyOutcome::Reject);
        const auto row = [](const char *name, const char *text, QChar key, int action, const char *newText) {
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
        row("left: number", "0.95", QChar(), replace, "0.95");
        row("left: a leading point gets its zero", ".95", QChar(), replace, "0.95");
        row("left: trailing point", "230.", QChar(), replace, "230.");
        row("left: empty", "", QChar(), replace, "0");
        row("left: Input field", "Input field", QChar(), replace, "0");
        row("left: two points", "1.2.3", QChar(), replace, "0");
    }
    void powerFields()
    {
        QFETCH(QString, text);
        QFETCH(QChar, key);
        QFETCH(int, action);
        QFETCH(QString, newText);
        QCOMPARE(PowerFields::powerFactorEntries(), QStringList({"0.8", "0.9", "1.0", "Input field"}));
        if (key.isNull()) {
            QCOMPARE(PowerFields::finished(text), newText);
            return;
        }
        const PowerFields::KeyOutcome outcome = PowerFields::key(key, text);
        QCOMPARE(int(outcome.action), action);
        QCOMPARE(outcome.text, newText);
        QCOMPARE(outcome.cursor, outcome.action == PowerFields::KeyOutcome::Replace ? 2 : -1);
    }

    void defaultButton()
    {
        SetupValues expected = edited();
        expected.autoScan = true;
        expected.selePort = false;
        expected.T1Hi = expected.T1Low = QStringLiteral("100");
        expected.YScale = 3; // "100", not the first run's "25"
        expected.Channel_n = SetupValues().Channel_n;
        expected.Channel_sn = SetupValues().Channel_sn;
        expected.Channel_p = SetupValues().Channel_p;
        expected.Power_V = QStringLiteral("110");
        expected.Power_Unit = QStringLiteral("0");
        expected.Power_cos = QStringLiteral("0.8");
        QCOMPARE(withDefaultButton(edited()), expected); // port, alarm switch, Hi/Low and unit stay
    }

    void okPlan()
    {
        SetupValues dialog = edited();
        dialog.T1_CK = 0;
        SetupOkContext context = recordingDca();
        context.graph = graphAt(230);
        const SetupOkPlan plan = planSetupOk(dialog, context);
        QVERIFY(plan.alarm.alarmEnabled);
        QCOMPARE(plan.alarm.monitor, (MonitorAlarmView{true, false, "250", "-", "A", ""}));
        QCOMPARE(plan.timeAxis.factor, 0.5f);
        QCOMPARE(plan.timeAxis.pageBoxTexts, QStringList({"0", "5"}));
        SetupValues saved = dialog;
        saved.unit = 0; // the unit list's selection
        QCOMPARE(plan.values, saved);
        QCOMPARE(plan.tableHeader, (std::array<QString, 6>{"Motor", "M2", "M3", "M4", "M5", "Pumpe ü"}));
        QCOMPARE(plan.channelList, QStringList({"1_ Motor ", "3_M3"}));
        QVERIFY(plan.monitorChannel);
        QCOMPARE(plan.monitorChannel->serialNumber, "SN1");
        QCOMPARE(plan.monitorChannel->place, "Hall 1");
    }

    void okWithoutRecording()
    {
        SetupOkContext context;
        context.mainFunction = Measurement::DCV;
        const SetupOkPlan plan = planSetupOk(edited(), context);
        QVERIFY(!plan.values.Alarm);   // the alarm is switched off and saved so
        QCOMPARE(plan.values.unit, 1); // an empty unit list keeps the stored unit
        QVERIFY(!plan.alarm.alarmEnabled);
        QCOMPARE(plan.alarm.monitor, Off);
        QVERIFY(plan.channelList.isEmpty());
        QVERIFY(!plan.monitorChannel);
        QVERIFY(!plan.powerLabels);
    }

    void okPowerLabels_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<bool>("powerChecked");
        QTest::addColumn<bool>("labels");
        QTest::newRow("DCA, power on") << int(Measurement::DCA) << true << true;
        QTest::newRow("ACA, power on") << int(Measurement::ACA) << true << true;
        QTest::newRow("ACV, power on") << int(Measurement::ACV) << true << false;
        QTest::newRow("DCA, power off") << int(Measurement::DCA) << false << false;
    }
    void okPowerLabels()
    {
        QFETCH(int, function);
        QFETCH(bool, powerChecked);
        QFETCH(bool, labels);
        SetupOkContext context = recordingDca();
        context.mainFunction = function;
        context.powerCommandChecked = powerChecked;
        context.selectedChannel = 5;
        const SetupOkPlan plan = planSetupOk(edited(), context);
        QCOMPARE(bool(plan.powerLabels), labels);
        if (!labels) return;
        const SetupOkPlan::PowerLabels &shown = *plan.powerLabels;
        QCOMPARE(QStringList({shown.channel.name, shown.channel.serialNumber, shown.channel.place}),
                 QStringList({"Pumpe ü", "S6", "P6"}));
        QCOMPARE(QStringList({shown.rates.Power_V, shown.rates.Power_cos, shown.rates.Power_Unit}),
                 QStringList({"230", "0.95", "0.31"}));
    }

    void channelListEntries()
    {
        QCOMPARE(channelListEntry(1, QStringLiteral("Ch2")), "2_Ch2");
        const QList<std::pair<QString, int>> entries{{"1_Ch1", 0}, {"6_Pump", 5},  {"7_x", -1},
                                                     {"0_x", -1},  {"Pump_1", -1}, {"", -1}};
        for (const auto &[entry, channel] : entries)
            QCOMPARE(channelOfListEntry(entry), channel);
    }

    void colourBoxesCannotBeCleared_data()
    {
        QTest::addColumn<OptionCheck>("check");
        QTest::newRow("Display value fore color") << OptionCheck::DisplayValueForeColor;
        QTest::newRow("Display back color") << OptionCheck::DisplayBackColor;
        QTest::newRow("Graph back color") << OptionCheck::GraphBackColor;
        QTest::newRow("Scale color") << OptionCheck::ScaleColor;
        QTest::newRow("Data Row Back Color") << OptionCheck::DataRowBackColor;
    }
    void colourBoxesCannotBeCleared()
    {
        QFETCH(OptionCheck, check);
        OptionsForm form{OptionValues()};
        form.click(check, false);
        QVERIFY(form.isChecked(check));
        QVERIFY(form.values() == OptionValues());
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
        OptionValues changed;
        changed.Moni_ForeColor = 1;
        changed.Moni_BackColor = 2;
        changed.Graph_BackColor = 3;
        changed.Graph_T1BackColor = 4;
        changed.Graph_MainTitle = QStringLiteral("Line 3");
        changed.Grid_lineCk = false;
        changed.Grid_FlatCk = false;
        changed.Grid_RaisedCk = true;
        changed.Grid_BackColor = 5;
        OptionValues table = changed;
        table.Grid_lineCk = table.Grid_FlatCk = true;
        table.Grid_RaisedCk = false;
        table.Grid_BackColor = 16777215;
        QTest::newRow("Table") << OptionsTab::Table << table << false << true;
        OptionValues graph = changed;
        graph.Graph_BackColor = 8388608;
        graph.Graph_T1BackColor = 255;
        graph.Graph_MainTitle = QStringLiteral("ABC");
        graph.Graph_TitleCk = true; // although the first run hides the title
        QTest::newRow("Graph") << OptionsTab::Graph << graph << true << false;
        OptionValues monitor = changed;
        monitor.Moni_ForeColor = 16777215;
        monitor.Moni_BackColor = 32768;
        QTest::newRow("Monitor") << OptionsTab::Monitor << monitor << false << false;
    }
    void defaults()
    {
        QFETCH(OptionsTab, tab);
        QFETCH(OptionValues, expected);
        OptionValues changed = expected;
        changed.Moni_ForeColor = 1;
        changed.Moni_BackColor = 2;
        changed.Graph_BackColor = 3;
        changed.Graph_T1BackColor = 4;
        changed.Graph_MainTitle = QStringLiteral("Line 3");
        changed.Graph_TitleCk = false;
        changed.Grid_lineCk = changed.Grid_FlatCk = false;
        changed.Grid_RaisedCk = true;
        changed.Grid_BackColor = 5;
        OptionsForm form(changed);
        form.restoreDefaults(tab);
        QVERIFY(form.values() == expected);
        QTEST(form.graphChanged(), "graphChanged");
        QTEST(form.tableChanged(), "tableChanged");
    }

    void changedFlags()
    {
        OptionsForm form{OptionValues()};
        form.colorPicked(OptionSwatch::DisplayValueForeColor, 255);
        form.colorPicked(OptionSwatch::DataRowBackColor, std::nullopt);
        QVERIFY(!form.tableChanged());
        QVERIFY(!form.ok().redrawGraph); // monitor colours alone leave the graph
        QCOMPARE(form.ok().values.Moni_ForeColor, 255);
        form.colorPicked(OptionSwatch::GraphBackColor, std::nullopt); // a cancelled pick counts
        QVERIFY(form.graphChanged());
        QCOMPARE(form.color(OptionSwatch::GraphBackColor), 8388608);

        OptionsForm table{OptionValues()};
        table.colorPicked(OptionSwatch::DataRowBackColor, 12632256);
        QVERIFY(table.tableChanged());
        QCOMPARE(table.ok().values.Grid_BackColor, 12632256);

        OptionsForm title{OptionValues()};
        QVERIFY(!title.titleEnabled());
        title.click(OptionCheck::GraphTitle, true);
        QVERIFY(title.titleEnabled());
        QVERIFY(!title.tableChanged());
        title.titleEdited(QStringLiteral("Line 3"));
        QVERIFY(title.ok().redrawGraph);
        QCOMPARE(title.ok().values.Graph_MainTitle, "Line 3");
    }
};

QTEST_GUILESS_MAIN(TestSetupRules)
#include "tst_setuprules.moc"

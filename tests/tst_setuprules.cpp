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

namespace
{

Measurement::DisplayLimits limitsOf(int function, int prefix)
{
    Measurement::DisplayLimits limits;
    displayLimits(function, prefix, &limits);
    return limits;
}

AlarmLimits::Context recording(int function, const QString &unit, int prefix = Measurement::NoPrefix)
{
    return {true, function, unit, limitsOf(function, prefix)};
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

// The table's line style after an OK with these options (the grid starts from none).
GridStyle::LineStyle tableLineStyle(const OptionsOkPlan &plan)
{
    Settings settings;
    plan.values.toSettings(settings);
    return GridStyle::lineStyle(settings, GridStyle::LineStyle::None);
}

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

} // namespace

Q_DECLARE_METATYPE(AlarmLimits::Units)
Q_DECLARE_METATYPE(OptionCheck)
Q_DECLARE_METATYPE(OptionsTab)

class TestSetupRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Setup dialog
    void portPair_data();
    void portPair();
    void limitKeys_data();
    void limitKeys();
    void limitText_data();
    void limitText();
    void limitTextFinished_data();
    void limitTextFinished();
    void units_data();
    void units();
    void alarmOnLoad_data();
    void alarmOnLoad();
    void alarmOnOk_data();
    void alarmOnOk();
    void timeAxis_data();
    void timeAxis();
    void powerKeys_data();
    void powerKeys();
    void powerFieldLeft_data();
    void powerFieldLeft();
    void defaultButton();
    void defaultThenCancelChangesNothing();
    void okPlan();
    void okWithoutRecording();
    void okPowerLabels_data();
    void okPowerLabels();
    void channelListEntries_data();
    void channelListEntries();

    // Options dialog
    void colourBoxesCannotBeCleared_data();
    void colourBoxesCannotBeCleared();
    void gridStylesActAsOne();
    void gridLinesOff();
    void titleCheck();
    void defaults_data();
    void defaults();
    void changedFlags();
    void onlyMonitorColours();
    void storedStylesNormalised();
};

void TestSetupRules::portPair_data()
{
    QTest::addColumn<PortPair>("pair");
    QTest::addColumn<bool>("autoScan");
    QTest::addColumn<bool>("buttonsEnabled");
    QTest::newRow("auto scan checked") << PortPair::afterAutoScanClick(true) << true << false;
    QTest::newRow("auto scan cleared") << PortPair::afterAutoScanClick(false) << false << true;
    QTest::newRow("select port checked") << PortPair::afterSelectPortClick(true) << false << true;
    QTest::newRow("select port cleared") << PortPair::afterSelectPortClick(false) << true << false;
    QTest::newRow("stored auto scan") << PortPair::fromStored(true, false) << true << false;
    QTest::newRow("stored select port") << PortPair::fromStored(false, true) << false << true;
    QTest::newRow("stored both: auto scan wins") << PortPair::fromStored(true, true) << true << false;
    QTest::newRow("stored neither") << PortPair::fromStored(false, false) << true << false;
}

void TestSetupRules::portPair()
{
    QFETCH(PortPair, pair);
    QFETCH(bool, autoScan);
    QFETCH(bool, buttonsEnabled);
    QCOMPARE(pair.autoScan, autoScan);
    QCOMPARE(pair.selePort, !autoScan);
    QCOMPARE(pair.portButtonsEnabled(), buttonsEnabled);
}

void TestSetupRules::limitKeys_data()
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

void TestSetupRules::limitKeys()
{
    QFETCH(int, function);
    QFETCH(QString, accepted);
    const QString typed = QStringLiteral("\b-.0123456789+eE, a\t");
    QString taken;
    for (QChar key : typed)
        if (AlarmLimits::acceptsKey(function, key)) taken += key;
    QCOMPARE(taken, accepted);
    QCOMPARE(SetupKeys::Backspace, QChar(8));
}

void TestSetupRules::limitText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<AlarmLimits::Context>("context");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("entryError");
    const auto dcaA = recording(Measurement::DCA, "A");
    const auto dcvV = recording(Measurement::DCV, "V");
    const auto dcvMv = recording(Measurement::DCV, "mV", 2);
    const auto acv = recording(Measurement::ACV, "V");
    QTest::newRow("DCA one decimal") << "12.3456" << dcaA << "12.3" << false;
    QTest::newRow("DCV in V three decimals") << "12.3456" << dcvV << "12.346" << false;
    QTest::newRow("DCV in mV one decimal") << "12.3456" << dcvMv << "12.3" << false;
    QTest::newRow("DCV three decimals stay") << "12.345" << dcvV << "12.345" << false;
    QTest::newRow("trailing zero cut") << "12.30" << dcaA << "12.3" << false;
    QTest::newRow("above the top") << "1500.25" << acv << "1000" << false;
    QTest::newRow("below the bottom") << "-1234.5" << dcaA << "-1000" << false;
    QTest::newRow("negative AC") << "-5" << acv << "0" << false;
    QTest::newRow("mV top") << "2000000" << dcvMv << "1000000" << false;
    QTest::newRow("fractional top") << "5" << recording(Measurement::DCV, "V", 5) << "0"
                                    << false; // top 0.001 V in "M"
    QTest::newRow("at the top") << "1000" << acv << "1000" << false;
    QTest::newRow("not a number") << "12a" << dcaA << "100" << true;
    QTest::newRow("two points") << "1.2.3" << dcaA << "100" << true;
    QTest::newRow("a minus starts a number") << "-" << dcaA << "-" << false;
    QTest::newRow("a point starts a number") << "." << dcaA << "." << false;
    QTest::newRow("minus point") << "-." << dcvV << "-." << false;
    QTest::newRow("empty") << "" << dcaA << "" << false;
    AlarmLimits::Context noSample = dcaA;
    noSample.recordHasSample = false;
    QTest::newRow("no sample yet") << "abc" << noSample << "abc" << false;
}

void TestSetupRules::limitText()
{
    QFETCH(QString, typed);
    QFETCH(AlarmLimits::Context, context);
    QFETCH(QString, text);
    QFETCH(bool, entryError);
    const AlarmLimits::Edit edit = AlarmLimits::textChanged(typed, context);
    QCOMPARE(edit.text, text);
    QCOMPARE(edit.entryError, entryError);
    QCOMPARE(AlarmLimits::entryErrorMessage(), "Data entry error ! ");
}

void TestSetupRules::limitTextFinished_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("entryError");
    QTest::newRow("a lone minus") << "-"
                                  << "100" << true;
    QTest::newRow("a lone point") << "."
                                  << "100" << true;
    QTest::newRow("a number") << "-3.5"
                              << "-3.5" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
}

void TestSetupRules::limitTextFinished()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(bool, entryError);
    const AlarmLimits::Edit edit = AlarmLimits::editingFinished(typed, recording(Measurement::DCA, "A"));
    QCOMPARE(edit.text, text);
    QCOMPARE(edit.entryError, entryError);
}

void TestSetupRules::units_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("selected");
    QTest::newRow("DCV stored V") << int(Measurement::DCV) << 1 << QStringList{"mV", "V"} << "V";
    QTest::newRow("DCV stored mV") << int(Measurement::DCV) << 0 << QStringList{"mV", "V"} << "mV";
    QTest::newRow("DCV nothing stored") << int(Measurement::DCV) << -1 << QStringList{"mV", "V"} << "mV";
    QTest::newRow("ACV") << int(Measurement::ACV) << 1 << QStringList{"V"} << "V";
    QTest::newRow("DCA") << int(Measurement::DCA) << 1 << QStringList{"A"} << "A";
    QTest::newRow("ACA") << int(Measurement::ACA) << 0 << QStringList{"A"} << "A";
    QTest::newRow("Hz") << int(Measurement::Hz) << 0 << QStringList{} << "";
}

void TestSetupRules::units()
{
    QFETCH(int, function);
    QFETCH(int, stored);
    QFETCH(QStringList, entries);
    QFETCH(QString, selected);
    const AlarmLimits::Units units = AlarmLimits::unitsFor(function, stored);
    QCOMPARE(units.entries, entries);
    QCOMPARE(units.selected(), selected);
}

void TestSetupRules::alarmOnLoad_data()
{
    QTest::addColumn<AlarmState>("state");
    QTest::addColumn<bool>("checkEnabled");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("alarmEnabled");
    QTest::addColumn<bool>("clearAlarmActive");
    QTest::addColumn<QString>("lowText");
    QTest::addColumn<MonitorAlarmView>("monitor");
    QTest::addColumn<QStringList>("units");

    QTest::newRow("not recording: disabled and off")
        << alarmState(false, Measurement::DCV, true) << false << false << false << false << "-3" << Off
        << QStringList{};
    QTest::newRow("DCV switched on, Hi")
        << alarmState(true, Measurement::DCV, true) << true << true << true << false << "-3"
        << MonitorAlarmView{true, false, "12.5", "-", "V", ""} << QStringList{"mV", "V"};
    QTest::newRow("ACA switched on, Low: negative becomes 0")
        << alarmState(true, Measurement::ACA, true, 1) << true << true << true << false << "0"
        << MonitorAlarmView{true, false, "-", "0", "", "A"} << QStringList{"A"};
    QTest::newRow("DCA switched off") << alarmState(true, Measurement::DCA, false) << true << false << false
                                      << true << "-3" << Off << QStringList{"A"};
    QTest::newRow("OHM: off") << alarmState(true, Measurement::OHM, true) << false << false << false << true
                              << "-3" << Off << QStringList{};
    AlarmState sounding = alarmState(true, Measurement::DCV, true);
    sounding.alarmActive = true;
    QTest::newRow("sounding") << sounding << true << true << true << false << "-3"
                              << MonitorAlarmView{false, true, "12.5", "-", "V", ""}
                              << QStringList{"mV", "V"};
}

void TestSetupRules::alarmOnLoad()
{
    QFETCH(AlarmState, state);
    QFETCH(bool, checkEnabled);
    QFETCH(bool, checked);
    QFETCH(bool, alarmEnabled);
    QFETCH(bool, clearAlarmActive);
    QFETCH(QString, lowText);
    QFETCH(MonitorAlarmView, monitor);
    QFETCH(QStringList, units);
    const AlarmApplication applied = AlarmPart::onLoad(state, 1);
    QCOMPARE(applied.checkEnabled, checkEnabled);
    QCOMPARE(applied.checked, checked);
    QCOMPARE(applied.controlsEnabled, checked);
    QCOMPARE(applied.alarmEnabled, alarmEnabled);
    QCOMPARE(applied.clearAlarmActive, clearAlarmActive);
    QCOMPARE(applied.lowText, lowText);
    QCOMPARE(applied.monitor, monitor);
    QCOMPARE(applied.units.entries, units);
}

void TestSetupRules::alarmOnOk_data()
{
    QTest::addColumn<AlarmState>("state");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("alarmEnabled");
    QTest::addColumn<bool>("clearAlarmActive");
    QTest::addColumn<MonitorAlarmView>("monitor");
    QTest::newRow("not recording") << alarmState(false, Measurement::DCA, true) << false << false << false
                                   << Off;
    QTest::newRow("function without alarm")
        << alarmState(true, Measurement::CAP, true) << false << false << true << Off;
    QTest::newRow("switched off") << alarmState(true, Measurement::DCA, false) << false << false << true
                                  << Off;
    QTest::newRow("Hi") << alarmState(true, Measurement::DCA, true) << true << true << false
                        << MonitorAlarmView{true, false, "12.5", "-", "A", ""};
    QTest::newRow("Low keeps a negative DC limit")
        << alarmState(true, Measurement::DCA, true, 1) << true << true << false
        << MonitorAlarmView{true, false, "-", "-3", "", "A"};
}

void TestSetupRules::alarmOnOk()
{
    QFETCH(AlarmState, state);
    QFETCH(bool, checked);
    QFETCH(bool, alarmEnabled);
    QFETCH(bool, clearAlarmActive);
    QFETCH(MonitorAlarmView, monitor);
    const AlarmApplication applied = AlarmPart::onOk(state, AlarmLimits::unitsFor(Measurement::DCA, 0));
    QCOMPARE(applied.checked, checked);
    QCOMPARE(applied.alarmEnabled, alarmEnabled);
    QCOMPARE(applied.clearAlarmActive, clearAlarmActive);
    QCOMPARE(applied.monitor, monitor);
}

void TestSetupRules::timeAxis_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<TimeAxis::GraphState>("graph");
    QTest::addColumn<float>("factor");
    QTest::addColumn<bool>("redraw");
    QTest::addColumn<QStringList>("pageBox");

    TimeAxis::GraphState graph;
    graph.currentFactor = 1.0f;
    graph.mainHasReadings = true;
    graph.graphVisible = true;
    graph.mainSampleCount = 230;
    graph.mainNextRow = 231;
    QTest::newRow("100 to 50, 230 samples: page 5") << 1 << graph << 0.5f << true << QStringList{"0", "5"};
    QTest::newRow("100 to 200: page 2") << 7 << graph << 2.0f << true << QStringList{"0", "2"};
    TimeAxis::GraphState hidden = graph;
    hidden.graphVisible = false;
    QTest::newRow("graph hidden") << 1 << hidden << 0.5f << true << QStringList{"0"};
    QTest::newRow("unchanged") << 3 << graph << 1.0f << false << QStringList{};
    TimeAxis::GraphState empty = graph;
    empty.mainHasReadings = false;
    empty.mainSampleCount = 0;
    QTest::newRow("no readings") << 0 << empty << 0.25f << false << QStringList{};
    TimeAxis::GraphState running = graph;
    running.recording = true;
    running.mainSampleCount = 250;
    running.mainNextRow = 251;
    QTest::newRow("recording: the next row's page") << 1 << running << 0.5f << true << QStringList{"0", "6"};
    TimeAxis::GraphState full = graph;
    full.mainSampleCount = 250;
    QTest::newRow("a full last page") << 1 << full << 0.5f << true << QStringList{"0", "5"};
}

void TestSetupRules::timeAxis()
{
    QFETCH(int, position);
    QFETCH(TimeAxis::GraphState, graph);
    QFETCH(float, factor);
    QFETCH(bool, redraw);
    QFETCH(QStringList, pageBox);
    const TimeAxis::Change change = TimeAxis::onSetupOk(position, graph);
    QCOMPARE(change.factor, factor);
    QCOMPARE(change.redrawFrame, redraw);
    QCOMPARE(change.pageBoxTexts, pageBox);
    QCOMPARE(TimeAxis::entries(), QStringList({"25", "50", "75", "100", "125", "150", "175", "200"}));
}

void TestSetupRules::powerKeys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("key");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("newText");
    QTest::addColumn<int>("cursor");
    QTest::newRow("point into empty")
        << "" << QChar(u'.') << int(PowerFields::KeyOutcome::Replace) << "0." << 2;
    QTest::newRow("point into Input field")
        << "Input field" << QChar(u'.') << int(PowerFields::KeyOutcome::Replace) << "0." << 2;
    QTest::newRow("point after a digit")
        << "1" << QChar(u'.') << int(PowerFields::KeyOutcome::Accept) << "" << -1;
    QTest::newRow("digit") << "" << QChar(u'7') << int(PowerFields::KeyOutcome::Accept) << "" << -1;
    QTest::newRow("backspace") << "1" << SetupKeys::Backspace << int(PowerFields::KeyOutcome::Accept) << ""
                               << -1;
    QTest::newRow("minus") << "" << QChar(u'-') << int(PowerFields::KeyOutcome::Reject) << "" << -1;
    QTest::newRow("letter") << "1" << QChar(u'e') << int(PowerFields::KeyOutcome::Reject) << "" << -1;
    QTest::newRow("comma") << "1" << QChar(u',') << int(PowerFields::KeyOutcome::Reject) << "" << -1;
}

void TestSetupRules::powerKeys()
{
    QFETCH(QString, text);
    QFETCH(QChar, key);
    QFETCH(int, action);
    QFETCH(QString, newText);
    QFETCH(int, cursor);
    const PowerFields::KeyOutcome outcome = PowerFields::key(key, text);
    QCOMPARE(int(outcome.action), action);
    QCOMPARE(outcome.text, newText);
    QCOMPARE(outcome.cursor, cursor);
}

void TestSetupRules::powerFieldLeft_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("left");
    QTest::newRow("number") << "0.95"
                            << "0.95";
    QTest::newRow("trailing point") << "230."
                                    << "230.";
    QTest::newRow("empty") << ""
                           << "0";
    QTest::newRow("Input field") << "Input field"
                                 << "0";
    QTest::newRow("pasted text") << "abc"
                                 << "0";
    QTest::newRow("two points") << "1.2.3"
                                << "0";
}

void TestSetupRules::powerFieldLeft()
{
    QFETCH(QString, text);
    QFETCH(QString, left);
    QCOMPARE(PowerFields::finished(text), left);
    QCOMPARE(PowerFields::powerFactorEntries(), QStringList({"0.8", "0.9", "1.0", "Input field"}));
}

void TestSetupRules::defaultButton()
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
    QCOMPARE(TimeAxis::entries().at(expected.YScale), "100");
}

void TestSetupRules::defaultThenCancelChangesNothing()
{
    // The dialog edits a copy of the stored values; only an OK plan's values are saved.
    const SetupValues stored = edited();
    SetupValues dialog = stored;
    dialog = withDefaultButton(dialog);
    QVERIFY(dialog != stored);
    // Cancel: the dialog is dropped, nothing is planned or saved.
    QCOMPARE(stored, edited());
}

void TestSetupRules::okPlan()
{
    SetupValues dialog = edited();
    dialog.T1_CK = 0;
    SetupOkContext context = recordingDca();
    context.graph.currentFactor = 1.0f;
    context.graph.mainHasReadings = true;
    context.graph.graphVisible = true;
    context.graph.mainSampleCount = 230;
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

void TestSetupRules::okWithoutRecording()
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

void TestSetupRules::okPowerLabels_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<bool>("powerChecked");
    QTest::addColumn<bool>("labels");
    QTest::newRow("DCA, power on") << int(Measurement::DCA) << true << true;
    QTest::newRow("ACA, power on") << int(Measurement::ACA) << true << true;
    QTest::newRow("ACV, power on") << int(Measurement::ACV) << true << false;
    QTest::newRow("DCA, power off") << int(Measurement::DCA) << false << false;
}

void TestSetupRules::okPowerLabels()
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
    QCOMPARE(plan.powerLabels->channel.name, "Pumpe ü");
    QCOMPARE(plan.powerLabels->channel.serialNumber, "S6");
    QCOMPARE(plan.powerLabels->channel.place, "P6");
    QCOMPARE(plan.powerLabels->rates.Power_V, "230");
    QCOMPARE(plan.powerLabels->rates.Power_cos, "0.95");
    QCOMPARE(plan.powerLabels->rates.Power_Unit, "0.31");
}

void TestSetupRules::channelListEntries_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("channel");
    QTest::newRow("1_Ch1") << "1_Ch1" << 0;
    QTest::newRow("6_Pump") << "6_Pump" << 5;
    QTest::newRow("7_x") << "7_x" << -1;
    QTest::newRow("0_x") << "0_x" << -1;
    QTest::newRow("name first") << "Pump_1" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestSetupRules::channelListEntries()
{
    QFETCH(QString, entry);
    QFETCH(int, channel);
    QCOMPARE(channelOfListEntry(entry), channel);
    QCOMPARE(channelListEntry(1, QStringLiteral("Ch2")), "2_Ch2");
}

void TestSetupRules::colourBoxesCannotBeCleared_data()
{
    QTest::addColumn<OptionCheck>("check");
    QTest::newRow("Display value fore color") << OptionCheck::DisplayValueForeColor;
    QTest::newRow("Display back color") << OptionCheck::DisplayBackColor;
    QTest::newRow("Graph back color") << OptionCheck::GraphBackColor;
    QTest::newRow("Scale color") << OptionCheck::ScaleColor;
    QTest::newRow("Data Row Back Color") << OptionCheck::DataRowBackColor;
}

void TestSetupRules::colourBoxesCannotBeCleared()
{
    QFETCH(OptionCheck, check);
    OptionsForm form{OptionValues()};
    form.click(check, false);
    QVERIFY(form.isChecked(check));
    QVERIFY(form.values() == OptionValues());
}

void TestSetupRules::gridStylesActAsOne()
{
    OptionsForm form{OptionValues()};
    form.click(OptionCheck::GridInset, true);
    QVERIFY(!form.isChecked(OptionCheck::GridFlat));
    QVERIFY(form.isChecked(OptionCheck::GridInset));
    QVERIFY(!form.isChecked(OptionCheck::GridRaised));
    QVERIFY(form.tableChanged());
    QCOMPARE(tableLineStyle(form.ok()), GridStyle::LineStyle::Inset);

    form.click(OptionCheck::GridInset, false);
    QCOMPARE(tableLineStyle(form.ok()), GridStyle::LineStyle::None);
}

void TestSetupRules::gridLinesOff()
{
    OptionsForm form{OptionValues()};
    form.click(OptionCheck::GridLines, false);
    QVERIFY(!form.isEnabled(OptionCheck::GridFlat));
    QVERIFY(!form.isEnabled(OptionCheck::GridRaised));
    QVERIFY(form.isEnabled(OptionCheck::GridLines));
    const OptionsOkPlan plan = form.ok();
    QCOMPARE(tableLineStyle(plan), GridStyle::LineStyle::None);
    QVERIFY(!plan.values.Grid_lineCk);
    QVERIFY(plan.values.Grid_FlatCk); // the style is kept for when lines come back
}

void TestSetupRules::titleCheck()
{
    OptionsForm form{OptionValues()};
    QVERIFY(!form.titleEnabled());
    form.click(OptionCheck::GraphTitle, true);
    QVERIFY(form.titleEnabled());
    QVERIFY(form.graphChanged());
    QVERIFY(!form.tableChanged());
}

void TestSetupRules::defaults_data()
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
    table.Grid_lineCk = true;
    table.Grid_FlatCk = true;
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

void TestSetupRules::defaults()
{
    QFETCH(OptionsTab, tab);
    QFETCH(OptionValues, expected);
    QFETCH(bool, graphChanged);
    QFETCH(bool, tableChanged);
    OptionValues changed = expected;
    changed.Moni_ForeColor = 1;
    changed.Moni_BackColor = 2;
    changed.Graph_BackColor = 3;
    changed.Graph_T1BackColor = 4;
    changed.Graph_MainTitle = QStringLiteral("Line 3");
    changed.Graph_TitleCk = false;
    changed.Grid_lineCk = false;
    changed.Grid_FlatCk = false;
    changed.Grid_RaisedCk = true;
    changed.Grid_BackColor = 5;
    OptionsForm form(changed);
    form.restoreDefaults(tab);
    QVERIFY(form.values() == expected);
    QCOMPARE(form.graphChanged(), graphChanged);
    QCOMPARE(form.tableChanged(), tableChanged);
}

void TestSetupRules::changedFlags()
{
    OptionsForm form{OptionValues()};
    form.colorPicked(OptionSwatch::DataRowBackColor, std::nullopt);
    QVERIFY(!form.tableChanged());
    form.colorPicked(OptionSwatch::GraphBackColor, std::nullopt); // a cancelled pick counts
    QVERIFY(form.graphChanged());
    QCOMPARE(form.color(OptionSwatch::GraphBackColor), 8388608);

    OptionsForm table{OptionValues()};
    table.colorPicked(OptionSwatch::DataRowBackColor, 12632256);
    QVERIFY(table.tableChanged());
    QCOMPARE(table.ok().values.Grid_BackColor, 12632256);

    OptionsForm title{OptionValues()};
    title.titleEdited(QStringLiteral("Line 3"));
    QVERIFY(title.graphChanged());
    QCOMPARE(title.ok().values.Graph_MainTitle, "Line 3");
}

void TestSetupRules::onlyMonitorColours()
{
    OptionsForm form{OptionValues()};
    form.colorPicked(OptionSwatch::DisplayValueForeColor, 255);
    form.colorPicked(OptionSwatch::DisplayBackColor, 0);
    const OptionsOkPlan plan = form.ok();
    QVERIFY(!plan.redrawGraph);
    QCOMPARE(plan.values.Moni_ForeColor, 255);
    QCOMPARE(plan.values.Moni_BackColor, 0);
}

void TestSetupRules::storedStylesNormalised()
{
    OptionValues stored;
    stored.Grid_lnsetCk = true;
    stored.Grid_RaisedCk = true;
    const OptionsForm form(stored);
    QVERIFY(!form.isChecked(OptionCheck::GridFlat));
    QVERIFY(!form.isChecked(OptionCheck::GridInset));
    QVERIFY(form.isChecked(OptionCheck::GridRaised));
}

QTEST_GUILESS_MAIN(TestSetupRules)
#include "tst_setuprules.moc"

#include <QSignalSpy>
#include <QtTest>

#include "shell/CommandState.h"

namespace
{

// Everything CommandState holds, for comparing before and after a change.
struct Snapshot {
    QHash<QString, bool> enabled;
    QHash<QString, bool> checked;
    QHash<QString, bool> buttons;

    explicit Snapshot(const CommandState &state)
    {
        for (const QString &item : CommandState::menuItems()) {
            enabled.insert(item, state.isEnabled(item));
            checked.insert(item, state.isChecked(item));
        }
        for (const QString &key : CommandState::toolbarKeys())
            buttons.insert(key, state.isButtonEnabled(key));
    }
};

// One row of the enable table: only the names listed change.
struct Row {
    QStringList checkedOn, checkedOff, enabledOn, enabledOff, buttonsOn, buttonsOff;
};

QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
}

Row tableRow(const QString &state)
{
    if (state == u"Linked") return {words("mnconnect"), {}, {}, {}, {}, words("connect")};
    if (state == u"Unlinked") return {{}, words("mnconnect"), {}, {}, words("connect"), {}};
    if (state == u"Recording")
        return {words("mnrun mnconnect"),
                words("mnpause mnstop"),
                words("mnSaveData pop_SaveData mnpower"),
                words("mnfile mnedit mnopen mnsave mnprint"),
                words("pause stop power"),
                words("open save print start connect")};
    if (state == u"Paused")
        return {words("mnpause"),    words("mnrun mnstop"),         {}, words("mnopen mnsave mnprint"),
                words("start stop"), words("open save print pause")};
    if (state == u"Stopped")
        return {words("mnstop"),
                words("mnrun mnpause"),
                words("mnfile mnsetup mnedit mnveiw mnrecord mnoption mnwindow mnhelp mnopen mnsave mnprint"),
                {},
                words("open save print start pause stop"),
                {}};
    return {};
}

void apply(CommandState &state, const QString &row)
{
    if (row == u"Idle")
        state.applyIdle();
    else if (row == u"Linked")
        state.applyLinked();
    else if (row == u"Unlinked")
        state.applyUnlinked();
    else if (row == u"Recording")
        state.applyRecording();
    else if (row == u"Paused")
        state.applyPaused();
    else if (row == u"Stopped")
        state.applyStopped();
    else
        QFAIL("unknown row");
}

// The named entries take the row's values, every other entry keeps the one it had before.
void verifyRow(const Snapshot &before, const CommandState &state, const QString &rowName)
{
    const Row row = tableRow(rowName);
    Snapshot expected = before;
    for (const QString &item : row.checkedOn)
        expected.checked[item] = true;
    for (const QString &item : row.checkedOff)
        expected.checked[item] = false;
    for (const QString &item : row.enabledOn)
        expected.enabled[item] = true;
    for (const QString &item : row.enabledOff)
        expected.enabled[item] = false;
    for (const QString &key : row.buttonsOn)
        expected.buttons[key] = true;
    for (const QString &key : row.buttonsOff)
        expected.buttons[key] = false;

    const Snapshot actual(state);
    for (const QString &item : CommandState::menuItems()) {
        QVERIFY2(actual.enabled.value(item) == expected.enabled.value(item), qPrintable(item + u" enabled"));
        QVERIFY2(actual.checked.value(item) == expected.checked.value(item), qPrintable(item + u" checked"));
    }
    for (const QString &key : CommandState::toolbarKeys())
        QVERIFY2(actual.buttons.value(key) == expected.buttons.value(key), qPrintable(key + u" button"));
}

void verifyIdle(const CommandState &state)
{
    for (const QString &item : CommandState::menuItems()) {
        QVERIFY2(state.isEnabled(item), qPrintable(item));
        QVERIFY2(!state.isChecked(item), qPrintable(item));
    }
    for (const QString &key : CommandState::toolbarKeys())
        QVERIFY2(state.isButtonEnabled(key), qPrintable(key));
}

// Items no row names, set away from their start-up state.
void disturbUnnamedItems(CommandState &state)
{
    state.setChecked(QStringLiteral("mntab"), true);
    state.setChecked(QStringLiteral("mnArr_icons"), true);
    state.setEnabled(QStringLiteral("mnClear"), false);
    state.setEnabled(QStringLiteral("pop_PrintGraph"), false);
    state.setButtonEnabled(QStringLiteral("help"), false);
    state.setButtonEnabled(QStringLiteral("graph"), false);
}

} // namespace

class TestCommandState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsIdle()
    {
        const CommandState state;
        QCOMPARE(CommandState::menuItems().size(), 39);
        QCOMPARE(CommandState::menuItems().first(), QStringLiteral("mnfile"));
        QCOMPARE(CommandState::menuItems().last(), QStringLiteral("Skip"));
        QCOMPARE(CommandState::toolbarKeys(),
                 words("open save print monitor grid graph power connect start pause stop help"));
        verifyIdle(state);
        QVERIFY(!state.running() && !state.paused() && !state.stopped() && !state.connectChecked());
    }

    void rows_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("disturbed");
        for (const char *row : {"Linked", "Unlinked", "Recording", "Paused", "Stopped"}) {
            QTest::addRow("%s from idle", row) << QString::fromLatin1(row) << false;
            QTest::addRow("%s keeps unnamed items", row) << QString::fromLatin1(row) << true;
        }
    }

    void rows()
    {
        QFETCH(QString, row);
        QFETCH(bool, disturbed);
        CommandState state;
        if (disturbed) disturbUnnamedItems(state);
        const Snapshot before(state);
        QSignalSpy changed(&state, &CommandState::changed);
        apply(state, row);
        QCOMPARE(changed.size(), 1);
        verifyRow(before, state, row);
    }

    void recordingCycle_data()
    {
        QTest::addColumn<QStringList>("sequence");
        QTest::newRow("start, pause, resume, stop")
            << words("Linked Recording Paused Recording Stopped Unlinked");
        QTest::newRow("stop while paused, start again")
            << words("Recording Paused Stopped Recording Stopped");
    }

    void recordingCycle()
    {
        QFETCH(QStringList, sequence);
        CommandState state;
        disturbUnnamedItems(state);
        for (const QString &row : sequence) {
            const Snapshot before(state);
            apply(state, row);
            verifyRow(before, state, row);
            for (const char *item : {"mnrun", "mnpause", "mnstop"})
                QVERIFY2(state.isEnabled(QLatin1String(item)), item);
        }
    }

    void flagsFollowTheRecordingState()
    {
        CommandState state;
        state.applyRecording();
        QVERIFY(state.running() && !state.paused() && !state.stopped() && state.connectChecked());
        state.applyPaused();
        QVERIFY(!state.running() && state.paused() && !state.stopped());
        // the File menu stays off from the recording until Stop
        QVERIFY(!state.isEnabled(QStringLiteral("mnfile")));
        state.applyRecording();
        state.applyStopped();
        QVERIFY(!state.running() && !state.paused() && state.stopped());
        // Stop leaves the link as it was
        QVERIFY(state.connectChecked());
        QVERIFY(!state.isButtonEnabled(QStringLiteral("connect")));
        QVERIFY(state.isEnabled(QStringLiteral("mnfile")));
    }

    void idleRestoresStartUpState()
    {
        CommandState state;
        disturbUnnamedItems(state);
        state.applyRecording();
        QSignalSpy changed(&state, &CommandState::changed);
        state.applyIdle();
        QCOMPARE(changed.size(), 1);
        verifyIdle(state);
    }

    void singleChangesNotifyOnlyWhenSomethingChanges()
    {
        CommandState state;
        QSignalSpy changed(&state, &CommandState::changed);
        state.setEnabled(QStringLiteral("mnClear"), true);
        state.setChecked(QStringLiteral("mntab"), false);
        state.setButtonEnabled(QStringLiteral("help"), true);
        QCOMPARE(changed.size(), 0);
        state.setEnabled(QStringLiteral("mnClear"), false);
        state.setChecked(QStringLiteral("mntab"), true);
        state.setButtonEnabled(QStringLiteral("help"), false);
        QCOMPARE(changed.size(), 3);
        QVERIFY(!state.isEnabled(QStringLiteral("mnClear")));
        QVERIFY(state.isChecked(QStringLiteral("mntab")));
        QVERIFY(!state.isButtonEnabled(QStringLiteral("help")));
    }

    void unknownNamesAreIgnored()
    {
        CommandState state;
        QSignalSpy changed(&state, &CommandState::changed);
        state.setEnabled(QStringLiteral("mnnothing"), false);
        state.setChecked(QStringLiteral("MNRUN"), true);
        state.setButtonEnabled(QStringLiteral("Start"), false);
        QCOMPARE(changed.size(), 0);
        QVERIFY(!state.isEnabled(QStringLiteral("mnnothing")));
        QVERIFY(!state.running());
        QVERIFY(state.isButtonEnabled(QStringLiteral("start")));
        QVERIFY(!state.isButtonEnabled(QStringLiteral("Start")));
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_commandstate.moc"

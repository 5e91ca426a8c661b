#include <QSignalSpy>
#include <QtTest>

#include "core/commands/CommandState.h"
#include "core/layout/WindowVisibility.h"
#include "core/recording/RecordingStatus.h"

namespace
{

// Every value CommandState holds, by "e:item" (enabled), "c:item" (checked) and "b:key" (button).
QHash<QString, bool> snapshot(const CommandState &state)
{
    QHash<QString, bool> all;
    for (const CommandTable::MenuRow &row : CommandTable::menuRows()) {
        all.insert(QStringLiteral("e:") + QLatin1String(row.name), state.isEnabled(row.item));
        all.insert(QStringLiteral("c:") + QLatin1String(row.name), state.isChecked(row.item));
    }
    for (const CommandTable::ButtonRow &row : CommandTable::buttonRows())
        all.insert(QStringLiteral("b:") + QLatin1String(row.key), state.isEnabled(row.button));
    return all;
}

// The enable table: "+c"/"-c" checks/unchecks, "+e"/"-e" enables/disables items, "+b"/"-b" buttons;
// every name it does not list keeps its value.
const QHash<QString, QString> Table{
    {"Linked", "+c mnconnect -b connect"},
    {"Unlinked", "-c mnconnect +b connect"},
    {"Recording",
     "+c mnrun mnconnect -c mnpause mnstop +e mnSaveData pop_SaveData mnpower"
     " -e mnfile mnedit mnopen mnsave mnprint +b pause stop power -b open save print start connect"},
    {"Paused", "+c mnpause -c mnrun mnstop -e mnopen mnsave mnprint +b start stop -b open save print pause"},
    {"Stopped", "+c mnstop -c mnrun mnpause +e mnfile mnsetup mnedit mnveiw mnrecord mnoption mnwindow mnhelp"
                " mnopen mnsave mnprint +b open save print start pause stop"}};

// The recording state that brings each row about.
void enter(RecordingStatus &status, const QString &row)
{
    if (row == u"Linked" || row == u"Unlinked") {
        status.setLinked(row == u"Linked");
        return;
    }
    if (row == u"Recording") status.setLinked(true);
    status.setMode(row == u"Recording" ? RecordingMode::Recording
                   : row == u"Paused"  ? RecordingMode::Paused
                                       : RecordingMode::Stopped);
}

} // namespace

class TestCommandState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rows_data()
    {
        QTest::addColumn<QStringList>("sequence");
        for (const char *row : {"Linked", "Recording", "Paused", "Stopped"})
            QTest::newRow(row) << QStringList{QString::fromLatin1(row)};
        QTest::newRow("Linked, Unlinked") << QStringList{"Linked", "Unlinked"};
        QTest::newRow("Recording, Paused, Recording, Stopped")
            << QStringList{"Recording", "Paused", "Recording", "Stopped"};
    }

    void startsAllEnabledNothingChecked()
    {
        RecordingStatus status;
        WindowVisibility windows;
        const CommandState state(status, windows);
        for (auto [name, value] : snapshot(state).asKeyValueRange())
            QVERIFY2(value == !name.startsWith(u"c:"), qPrintable(name));
    }

    void rows()
    {
        QFETCH(QStringList, sequence);
        RecordingStatus status;
        WindowVisibility windows;
        CommandState state(status, windows);
        // items no row names, moved off their start-up values: they must keep them
        windows.setShown(ChildWindow::Table, true);
        state.setEnabled(MenuItem::ClearRecord, false);
        state.setEnabled(ToolbarButton::Help, false);
        for (const QString &row : sequence) {
            QHash<QString, bool> expected = snapshot(state);
            QString sign;
            for (const QString &word : Table.value(row).split(u' ', Qt::SkipEmptyParts)) {
                if (word.size() == 2) {
                    sign = word;
                    continue;
                }
                const QString name = sign.mid(1) + u':' + word;
                QVERIFY2(expected.contains(name), qPrintable(name));
                expected[name] = sign.startsWith(u'+');
            }
            QSignalSpy changed(&state, &CommandState::changed);
            enter(status, row);
            QVERIFY(!changed.isEmpty());
            const QHash<QString, bool> actual = snapshot(state);
            for (auto it = expected.cbegin(); it != expected.cend(); ++it)
                QVERIFY2(actual.value(it.key()) == it.value(), qPrintable(row + u' ' + it.key()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_commandstate.moc"

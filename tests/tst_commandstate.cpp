#include <QSignalSpy>
#include <QtTest>

#include "core/commands/CommandState.h"

namespace
{

// Every value CommandState holds, by "e:item" (enabled), "c:item" (checked) and "b:key" (button).
QHash<QString, bool> snapshot(const CommandState &state)
{
    QHash<QString, bool> all;
    for (const QString &item : CommandState::menuItems()) {
        all.insert(QStringLiteral("e:") + item, state.isEnabled(item));
        all.insert(QStringLiteral("c:") + item, state.isChecked(item));
    }
    for (const QString &key : CommandState::toolbarKeys())
        all.insert(QStringLiteral("b:") + key, state.isButtonEnabled(key));
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

const QHash<QString, void (CommandState::*)()> Applies{
    {"Idle", &CommandState::applyIdle},         {"Linked", &CommandState::applyLinked},
    {"Unlinked", &CommandState::applyUnlinked}, {"Recording", &CommandState::applyRecording},
    {"Paused", &CommandState::applyPaused},     {"Stopped", &CommandState::applyStopped}};

} // namespace

class TestCommandState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rows_data()
    {
        QTest::addColumn<QStringList>("sequence");
        for (const char *row : {"Idle", "Linked", "Unlinked", "Recording", "Paused", "Stopped"})
            QTest::newRow(row) << QStringList{QString::fromLatin1(row)};
        QTest::newRow("Recording, Paused, Recording, Stopped")
            << QStringList{"Recording", "Paused", "Recording", "Stopped"};
    }

    void rows()
    {
        QFETCH(QStringList, sequence);
        CommandState state;
        // items no row names, moved off their start-up values: they must keep them
        state.setChecked(QStringLiteral("mntab"), true);
        state.setEnabled(QStringLiteral("mnClear"), false);
        state.setButtonEnabled(QStringLiteral("help"), false);
        for (const QString &row : sequence) {
            QHash<QString, bool> expected = snapshot(state);
            if (row == u"Idle") // back to the start-up state: all enabled, nothing checked
                for (auto it = expected.begin(); it != expected.end(); ++it)
                    it.value() = !it.key().startsWith(u"c:");
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
            (state.*Applies.value(row))();
            QCOMPARE(changed.size(), 1);
            const QHash<QString, bool> actual = snapshot(state);
            for (auto it = expected.cbegin(); it != expected.cend(); ++it)
                QVERIFY2(actual.value(it.key()) == it.value(), qPrintable(row + u' ' + it.key()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_commandstate.moc"

#pragma once
#include <QString>
#include <QStringList>

// The Setup dialog's alarm controls (Check2, Option2(0..1), Combo2, Text1(0..1), Label1).
// They are the alarm's configuration while a record runs, whether or not the dialog is shown.
struct AlarmSetup {
    bool checkEnabled = false;    // Check2 enabled
    bool checked = false;         // Check2 value 1
    bool controlsEnabled = false; // Option2, Combo2, Text1, Label1 enabled
    int choice = 0;               // 0 = "Hi", 1 = "Low" (T1_CK)
    QString hiText = QStringLiteral("100");
    QString lowText = QStringLiteral("100");
    QStringList units;  // Combo2 entries
    int unitIndex = -1; // Combo2 selection

    QString selectedUnit() const
    {
        return unitIndex >= 0 && unitIndex < units.size() ? units.at(unitIndex) : QString();
    }
};

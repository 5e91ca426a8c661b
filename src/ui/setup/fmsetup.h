#pragma once
#include <QDialog>
#include <QHash>
#include <array>

#include "core/common/ChannelCount.h"
#include "core/setup/AlarmLimits.h"
#include "core/setup/SetupValues.h"

class Prompts;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class SetupProcedures;

// The Setup dialog: port, alarm, time-axis scale, channel texts and power rates. It shows the
// loaded values of its procedures, applies the rules of its controls as the user works them,
// and hands OK and Cancel back to the procedures. Modeless; it deletes itself once closed.
class fmsetup : public QDialog
{
    Q_OBJECT
public:
    fmsetup(SetupProcedures &procedures, Prompts &prompts, QWidget *parent = nullptr);

    // A control by its name: "Check1(0)", "Option1(3)", "Check2", "Option2(1)", "Text1(0)",
    // "Combo2", "Combo1(1)", "Text2(5)", "Text3(0)", "Text4(0)", "Text5(0)", "Text5(1)",
    // "Combo3", "Command1" (OK), "Command2" (Cancel), "Command3" (Default), "Label1", ...
    QWidget *control(const QString &name) const { return m_controls.value(name); }

    // power_en and the alarm controls' enable states, again after the recording state or the
    // power window changed.
    void refreshLocks();

    void reject() override; // Cancel, Escape and the close box

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    template <typename T> T *named(T *widget, const QString &name);
    void showValues(const SetupValues &values);
    void showPortPair(bool autoScan, bool selePort);
    void showAlarmEnabled();
    SetupValues edited() const;
    AlarmLimits::Units units() const;
    void checkLimit(int box, bool finished);
    void finishPowerField(QLineEdit *field);
    void restoreDefaults();
    void ok();

    SetupProcedures &m_procedures;
    Prompts &m_prompts;
    QHash<QString, QWidget *> m_controls;

    std::array<QCheckBox *, 2> m_ports{}; // Check1(0) auto scan, Check1(1) select port
    QButtonGroup *m_portButtons = nullptr;
    QCheckBox *m_alarm = nullptr;
    std::array<QRadioButton *, 2> m_limitChoice{};
    std::array<QLineEdit *, 2> m_limits{};
    QWidget *m_unitLabel = nullptr;
    QComboBox *m_units = nullptr;
    QComboBox *m_scale = nullptr;
    std::array<QLineEdit *, ChannelCount> m_names{};
    std::array<QLineEdit *, ChannelCount> m_serials{};
    std::array<QLineEdit *, ChannelCount> m_places{};
    std::array<QComboBox *, ChannelCount> m_voltageFrom{}; // Combo4(k): 0 the power rate's V, n channel n
    std::array<QLineEdit *, 2> m_power{};                  // Text5(0) voltage, Text5(1) unit price
    QComboBox *m_powerFactor = nullptr;
    bool m_reporting = false; // the entry error message is up
    bool m_closing = false;
};

#include "ui/setup/fmsetup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/commands/SetupProcedures.h"
#include "core/common/ChannelCount.h"
#include "core/common/Prompts.h"
#include "core/settings/AlarmSetup.h"
#include "core/setup/PortPair.h"
#include "core/setup/PowerFields.h"
#include "core/setup/SetupKeys.h"
#include "core/setup/TimeAxis.h"

namespace
{

constexpr int PortCount = 16;

// The character a key press types; null for keys that type nothing (arrows, Tab, Enter),
// which every box lets through.
QChar typedChar(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace) return SetupKeys::Backspace;
    const QString text = event->text();
    if (text.isEmpty() || (text.at(0).isNull() || (text.at(0).category() == QChar::Other_Control)))
        return QChar();
    return text.at(0);
}

} // namespace

fmsetup::fmsetup(SetupProcedures &procedures, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_procedures(procedures), m_prompts(prompts)
{
    setObjectName(QStringLiteral("fmsetup"));
    setWindowTitle(tr("Setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    showValues(m_procedures.values());
    refreshLocks();
}

template <typename T> T *fmsetup::named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    m_controls.insert(name, widget);
    return widget;
}

void fmsetup::build()
{
    // "Com port"
    auto *ports = named(new QGroupBox(tr("Com port"), this), QStringLiteral("Frame1"));
    auto *portGrid = new QGridLayout(ports);
    m_ports[0] = named(new QCheckBox(tr("Auto scan  com port"), ports), QStringLiteral("Check1(0)"));
    m_ports[1] = named(new QCheckBox(tr("Select  port"), ports), QStringLiteral("Check1(1)"));
    portGrid->addWidget(m_ports[0], 0, 0, 1, 4);
    portGrid->addWidget(m_ports[1], 1, 0, 1, 4);
    m_portButtons = new QButtonGroup(this);
    for (int i = 0; i < PortCount; ++i) {
        auto *button =
            named(new QRadioButton(tr("Com %1").arg(i + 1), ports), QStringLiteral("Option1(%1)").arg(i));
        m_portButtons->addButton(button, i);
        portGrid->addWidget(button, 2 + i / 4, i % 4);
    }
    connect(m_ports[0], &QCheckBox::clicked, this, [this](bool checked) {
        const PortPair pair = PortPair::afterAutoScanClick(checked);
        showPortPair(pair.autoScan, pair.selePort);
    });
    connect(m_ports[1], &QCheckBox::clicked, this, [this](bool checked) {
        const PortPair pair = PortPair::afterSelectPortClick(checked);
        showPortPair(pair.autoScan, pair.selePort);
    });

    // "Alarm setting"
    auto *alarm = named(new QGroupBox(tr("Alarm setting"), this), QStringLiteral("Frame2"));
    auto *alarmGrid = new QGridLayout(alarm);
    m_alarm = named(new QCheckBox(tr("Alarm  : "), alarm), QStringLiteral("Check2"));
    alarmGrid->addWidget(m_alarm, 0, 0, 1, 2);
    const QString choices[2] = {tr("Hi"), tr("Low")};
    auto *choiceGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        m_limitChoice[i] = named(new QRadioButton(choices[i], alarm), QStringLiteral("Option2(%1)").arg(i));
        choiceGroup->addButton(m_limitChoice[i], i);
        m_limits[i] = named(new QLineEdit(alarm), QStringLiteral("Text1(%1)").arg(i));
        // A right-click offers no edit menu.
        m_limits[i]->setContextMenuPolicy(Qt::NoContextMenu);
        m_limits[i]->installEventFilter(this);
        alarmGrid->addWidget(m_limitChoice[i], 1 + i, 0);
        alarmGrid->addWidget(m_limits[i], 1 + i, 1);
        connect(m_limits[i], &QLineEdit::textEdited, this, [this, i] { checkLimit(i, false); });
        connect(m_limits[i], &QLineEdit::editingFinished, this, [this, i] { checkLimit(i, true); });
    }
    m_unitLabel = named(new QLabel(tr("Unit :"), alarm), QStringLiteral("Label1"));
    m_units = named(new QComboBox(alarm), QStringLiteral("Combo2"));
    alarmGrid->addWidget(m_unitLabel, 3, 0);
    alarmGrid->addWidget(m_units, 3, 1);
    connect(m_alarm, &QCheckBox::clicked, this, &fmsetup::showAlarmEnabled);

    // "Graph scales"
    auto *scales = named(new QGroupBox(tr("Graph scales"), this), QStringLiteral("Frame3"));
    auto *scalesRow = new QHBoxLayout(scales);
    scalesRow->addWidget(named(new QLabel(tr("Time axial scales : "), scales), QStringLiteral("Label5")));
    m_scale = named(new QComboBox(scales), QStringLiteral("Combo1(1)"));
    m_scale->addItems(TimeAxis::entries());
    scalesRow->addWidget(m_scale);

    // "Channel"
    auto *channels = named(new QGroupBox(tr("Channel"), this), QStringLiteral("Frame4"));
    auto *channelGrid = new QGridLayout(channels);
    const QString headers[4] = {tr("Display  Name"), tr("Serial Number "), tr("Place"), tr("Voltage from")};
    for (int column = 0; column < 4; ++column)
        channelGrid->addWidget(new QLabel(headers[column], channels), 0, column + 1, Qt::AlignCenter);
    for (int k = 0; k < ChannelCount; ++k) {
        channelGrid->addWidget(new QLabel(tr("Channel %1").arg(k + 1), channels), k + 1, 0);
        m_names[k] = named(new QLineEdit(channels), QStringLiteral("Text2(%1)").arg(k));
        m_names[k]->setMaxLength(SetupValues::NameLength);
        m_serials[k] = named(new QLineEdit(channels), QStringLiteral("Text3(%1)").arg(k));
        m_serials[k]->setMaxLength(SetupValues::SerialLength);
        m_places[k] = named(new QLineEdit(channels), QStringLiteral("Text4(%1)").arg(k));
        m_places[k]->setMaxLength(SetupValues::PlaceLength);
        channelGrid->addWidget(m_names[k], k + 1, 1);
        channelGrid->addWidget(m_serials[k], k + 1, 2);
        channelGrid->addWidget(m_places[k], k + 1, 3);
        // The voltage of the channel's energy: the power rate's V, or a voltage channel's readings.
        m_voltageFrom[k] = named(new QComboBox(channels), QStringLiteral("Combo4(%1)").arg(k));
        m_voltageFrom[k]->addItem(tr("Power rate"));
        for (int c = 0; c < ChannelCount; ++c)
            m_voltageFrom[k]->addItem(QStringLiteral("Ch%1").arg(c + 1));
        channelGrid->addWidget(m_voltageFrom[k], k + 1, 4);
    }

    // "Power rate"
    auto *power = named(new QGroupBox(tr("Power rate"), this), QStringLiteral("Frame5"));
    auto *powerGrid = new QGridLayout(power);
    m_power[0] = named(new QLineEdit(power), QStringLiteral("Text5(0)"));
    m_power[1] = named(new QLineEdit(power), QStringLiteral("Text5(1)"));
    m_powerFactor = named(new QComboBox(power), QStringLiteral("Combo3"));
    m_powerFactor->setEditable(true);
    m_powerFactor->setInsertPolicy(QComboBox::NoInsert);
    m_powerFactor->addItems(PowerFields::powerFactorEntries());
    powerGrid->addWidget(new QLabel(tr("V"), power), 0, 0);
    powerGrid->addWidget(m_power[0], 0, 1);
    powerGrid->addWidget(new QLabel(tr("P.F"), power), 1, 0);
    powerGrid->addWidget(m_powerFactor, 1, 1);
    powerGrid->addWidget(new QLabel(tr("Unit price    "), power), 2, 0);
    powerGrid->addWidget(m_power[1], 2, 1);
    for (QLineEdit *field : {m_power[0], m_power[1], m_powerFactor->lineEdit()}) {
        field->installEventFilter(this);
        connect(field, &QLineEdit::editingFinished, this, [this, field] { finishPowerField(field); });
    }
    for (QLineEdit *field : m_power)
        field->setContextMenuPolicy(Qt::NoContextMenu);

    auto *okButton = named(new QPushButton(tr("OK"), this), QStringLiteral("Command1"));
    auto *cancelButton = named(new QPushButton(tr("Cancel"), this), QStringLiteral("Command2"));
    auto *defaultButton = named(new QPushButton(tr("Default"), this), QStringLiteral("Command3"));
    okButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    defaultButton->setAutoDefault(false);
    connect(okButton, &QPushButton::clicked, this, &fmsetup::ok);
    connect(cancelButton, &QPushButton::clicked, this, &fmsetup::reject);
    connect(defaultButton, &QPushButton::clicked, this, &fmsetup::restoreDefaults);

    auto *left = new QVBoxLayout;
    left->addWidget(ports);
    left->addWidget(alarm);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(channels);
    auto *lower = new QHBoxLayout;
    auto *lowerLeft = new QVBoxLayout;
    lowerLeft->addWidget(scales);
    lowerLeft->addWidget(power);
    lower->addLayout(lowerLeft);
    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(defaultButton);
    lower->addLayout(buttons);
    right->addLayout(lower);
    auto *columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(right);
}

void fmsetup::showValues(const SetupValues &values)
{
    const PortPair pair = PortPair::fromStored(values.autoScan, values.selePort);
    if (QAbstractButton *port = m_portButtons->button(values.commp)) port->setChecked(true);
    showPortPair(pair.autoScan, pair.selePort);

    const AlarmSetup &alarm = m_procedures.alarm();
    m_alarm->setChecked(values.Alarm);
    m_limitChoice[values.T1_CK == 1 ? 1 : 0]->setChecked(true);
    m_limits[0]->setText(values.T1Hi);
    m_limits[1]->setText(values.T1Low);
    m_units->clear();
    m_units->addItems(alarm.units);
    m_units->setCurrentIndex(alarm.unitIndex);

    m_scale->setCurrentIndex(values.YScale >= 0 && values.YScale < m_scale->count() ? values.YScale : 0);
    for (int k = 0; k < ChannelCount; ++k) {
        const auto i = std::size_t(k);
        m_names[i]->setText(values.Channel_n[i]);
        m_serials[i]->setText(values.Channel_sn[i]);
        m_places[i]->setText(values.Channel_p[i]);
        m_voltageFrom[i]->setCurrentIndex(std::max(0, values.Energy_pair[i].toInt()));
    }
    m_power[0]->setText(values.Power_V);
    m_power[1]->setText(values.Power_Unit);
    const int factor = m_powerFactor->findText(values.Power_cos);
    if (factor >= 0)
        m_powerFactor->setCurrentIndex(factor);
    else
        m_powerFactor->setEditText(values.Power_cos);
}

void fmsetup::showPortPair(bool autoScan, bool selePort)
{
    m_ports[0]->setChecked(autoScan);
    m_ports[1]->setChecked(selePort);
    const PortPair pair{autoScan, selePort};
    for (QAbstractButton *button : m_portButtons->buttons())
        button->setEnabled(pair.portButtonsEnabled());
}

void fmsetup::showAlarmEnabled()
{
    const bool usable = m_procedures.alarm().checkEnabled;
    m_alarm->setEnabled(usable);
    const bool controls = usable && AlarmPart::controlsEnabledWhenChecked(m_alarm->isChecked());
    for (QWidget *control :
         {static_cast<QWidget *>(m_limitChoice[0]), static_cast<QWidget *>(m_limitChoice[1]),
          static_cast<QWidget *>(m_limits[0]), static_cast<QWidget *>(m_limits[1]), m_unitLabel,
          static_cast<QWidget *>(m_units)})
        control->setEnabled(controls);
}

void fmsetup::refreshLocks()
{
    const bool power = m_procedures.powerFieldsEnabled();
    m_power[0]->setEnabled(power);
    m_power[1]->setEnabled(power);
    m_powerFactor->setEnabled(power);
    if (!m_procedures.alarm().checkEnabled) m_alarm->setChecked(false);
    showAlarmEnabled();
}

AlarmLimits::Units fmsetup::units() const
{
    AlarmLimits::Units units;
    for (int i = 0; i < m_units->count(); ++i)
        units.entries << m_units->itemText(i);
    units.index = m_units->currentIndex();
    return units;
}

SetupValues fmsetup::edited() const
{
    SetupValues values = m_procedures.values();
    values.autoScan = m_ports[0]->isChecked();
    values.selePort = m_ports[1]->isChecked();
    values.commp = std::max(0, m_portButtons->checkedId());
    values.Alarm = m_alarm->isChecked();
    values.T1_CK = m_limitChoice[1]->isChecked() ? 1 : 0;
    // A limit still being typed in when OK is pressed is taken as if its box had been left.
    const AlarmLimits::Context context = m_procedures.limitContext(m_units->currentText());
    values.T1Hi = AlarmLimits::editingFinished(m_limits[0]->text(), context).text;
    values.T1Low = AlarmLimits::editingFinished(m_limits[1]->text(), context).text;
    values.YScale = m_scale->currentIndex();
    if (m_units->count() > 0) values.unit = m_units->currentIndex();
    for (int k = 0; k < ChannelCount; ++k) {
        const auto i = std::size_t(k);
        values.Channel_n[i] = m_names[i]->text();
        values.Channel_sn[i] = m_serials[i]->text();
        values.Channel_p[i] = m_places[i]->text();
        values.Energy_pair[i] = QString::number(m_voltageFrom[i]->currentIndex());
    }
    // A field still being typed in when OK is pressed is taken as if it had been left.
    values.Power_V = PowerFields::finished(m_power[0]->text());
    values.Power_cos = PowerFields::finished(m_powerFactor->currentText());
    values.Power_Unit = PowerFields::finished(m_power[1]->text());
    return values;
}

void fmsetup::checkLimit(int box, bool finished)
{
    if (m_reporting || m_closing) return;
    QLineEdit *field = m_limits[std::size_t(box)];
    const AlarmLimits::Context context = m_procedures.limitContext(m_units->currentText());
    const AlarmLimits::Edit edit = finished ? AlarmLimits::editingFinished(field->text(), context)
                                            : AlarmLimits::textChanged(field->text(), context);
    if (edit.entryError) {
        m_reporting = true;
        m_prompts.message(AlarmLimits::entryErrorMessage(), applicationTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::None);
        m_reporting = false;
    }
    if (edit.text != field->text()) field->setText(edit.text);
}

void fmsetup::finishPowerField(QLineEdit *field)
{
    if (m_closing) return;
    const QString text = PowerFields::finished(field->text());
    if (text != field->text()) field->setText(text);
}

bool fmsetup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto *field = qobject_cast<QLineEdit *>(watched);
    const QChar typed = typedChar(static_cast<QKeyEvent *>(event));
    if (!field || typed.isNull()) return QDialog::eventFilter(watched, event);
    if (field == m_limits[0] || field == m_limits[1])
        return !AlarmLimits::acceptsKey(m_procedures.mainFunction(), typed);
    // A key typed over a selection meets the text without it.
    QString kept = field->text();
    if (field->hasSelectedText()) kept.remove(field->selectionStart(), field->selectedText().size());
    const PowerFields::KeyOutcome outcome = PowerFields::key(typed, kept);
    switch (outcome.action) {
    case PowerFields::KeyOutcome::Reject:
        return true;
    case PowerFields::KeyOutcome::Accept:
        return false;
    case PowerFields::KeyOutcome::Replace:
        field->setText(outcome.text);
        field->setCursorPosition(outcome.cursor);
        return true;
    }
    return false;
}

void fmsetup::restoreDefaults()
{
    // The unit stays as chosen; the rest of the alarm part is the stored one's.
    const int unit = m_units->currentIndex();
    showValues(withDefaultButton(edited()));
    m_units->setCurrentIndex(unit);
    showAlarmEnabled();
}

void fmsetup::ok()
{
    const SetupValues values = edited();
    if (const QString refusal = m_procedures.refusal(values); !refusal.isEmpty()) {
        m_prompts.message(refusal, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return;
    }
    m_closing = true;
    m_procedures.ok(values, units());
    QDialog::accept();
}

void fmsetup::reject()
{
    m_closing = true; // nothing of the dialog's edits is taken
    QDialog::reject();
}

#include "ui/monitor/FmMonitor.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QResizeEvent>

#include "core/common/StoredColor.h"
#include "core/monitor/MonitorFields.h"
#include "core/settings/UserSettings.h"
#include "ui/shell/UiResources.h"

namespace
{

// Design font sizes (points at the design size).
constexpr qreal TextPoints = 8;
constexpr qreal BigValuePoints = 20;
constexpr qreal BigUnitPoints = 13;

constexpr auto Left = Qt::AlignLeft | Qt::AlignVCenter;
constexpr auto Centre = Qt::AlignCenter;

// The limit boxes are tinted so an armed high and low limit read apart at a glance.
const QColor HighBoxColour(255, 226, 222);
const QColor LowBoxColour(222, 234, 255);

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

FmMonitor::FmMonitor(MonitorFields &fields, const UserSettings &settings, QWidget *parent)
    : QWidget(parent), m_fields(fields), m_settings(settings), m_layout(QSizeF(DesignWidth, DesignHeight))
{
    setObjectName(QStringLiteral("FmMonitor"));
    setWindowTitle(tr("Monitor"));
    UiResources::ensureLoaded();

    m_renderTimer.setSingleShot(true);
    m_renderTimer.setInterval(0);
    connect(&m_renderTimer, &QTimer::timeout, this, &FmMonitor::render);
    connect(&m_fields, &MonitorFields::changed, this, &FmMonitor::scheduleRender);
    connect(&m_settings, &UserSettings::optionsChanged, this, &FmMonitor::applyColours);

    build();
    applyColours();
    render();
}

QLabel *FmMonitor::caption(QWidget *parent, const QString &text, const QRectF &rect, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(alignment);
    m_layout.add(label, rect, TextPoints);
    return label;
}

QLabel *FmMonitor::valueField(QWidget *parent, const QString &name, const QRectF &rect,
                              Qt::Alignment alignment)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(alignment);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    m_layout.add(label, rect, TextPoints);
    return label;
}

QFrame *FmMonitor::box(QWidget *parent, const QRectF &rect)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    m_layout.add(frame, rect);
    return frame;
}

QLabel *FmMonitor::image(QWidget *parent, const QString &name, const QString &icon, const QRectF &rect)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(UiResources::icon(icon).pixmap(64, 64));
    label->setScaledContents(true);
    label->hide();
    m_layout.add(label, rect);
    return label;
}

void FmMonitor::build()
{
    // The big display, Picture1, with the value and its unit, and below them a line about a
    // lost link, where the eye is when the value says "LOST".
    m_display = box(this, {60, 60, 2460, 1020});
    m_display->setObjectName(QStringLiteral("Picture1"));
    m_bigValue = new QLabel(this);
    m_bigValue->setObjectName(QStringLiteral("Label1(0)"));
    m_bigValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_bigValue->installEventFilter(this);
    m_layout.add(m_bigValue, {120, 100, 1760, 740}, BigValuePoints);
    {
        QFont font = m_bigValue->font();
        font.setBold(true);
        m_bigValue->setFont(font);
    }
    m_bigUnit = new QLabel(this);
    m_bigUnit->setObjectName(QStringLiteral("Label2(0)"));
    m_bigUnit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_layout.add(m_bigUnit, {1900, 100, 580, 740}, BigUnitPoints);
    m_linkLoss = new QLabel(this);
    m_linkLoss->setObjectName(QStringLiteral("LinkLoss"));
    m_linkLoss->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_layout.add(m_linkLoss, {100, 840, 2400, 220}, TextPoints);

    // "Main Record": what the record holds and which channel is shown.
    auto *record = new QGroupBox(tr("Main Record"), this);
    m_layout.add(record, {60, 1140, 2460, 2220}, TextPoints);
    // The captions end a little before their value boxes begin, so they never touch at any scale.
    const double labelW = 1220, valueX = 1300, valueW = 1100, rowH = 300;
    caption(record, tr("File "), {60, 240, 530, rowH}, Left);
    m_file = valueField(record, QStringLiteral("Label7"), {590, 240, valueX + valueW - 590, rowH}, Centre);
    caption(record, tr("Received Channels     "), {60, 560, 1600, rowH}, Left);
    m_received =
        valueField(record, QStringLiteral("Label4"), {1660, 560, valueX + valueW - 1660, rowH}, Centre);
    caption(record, tr("Main Display "), {60, 880, labelW, rowH}, Left);
    m_combo = new QComboBox(record);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_layout.add(m_combo, {valueX, 860, valueW, 340}, TextPoints);
    connect(m_combo, &QComboBox::activated, this, &FmMonitor::onChannelActivated);
    caption(record, tr("Type "), {60, 1200, labelW, rowH}, Left);
    m_type = valueField(record, QStringLiteral("Label11"), {valueX, 1200, valueW, rowH}, Centre);
    caption(record, tr("Serial Number"), {60, 1520, labelW, rowH}, Left);
    m_serial = valueField(record, QStringLiteral("Label17(0)"), {valueX, 1520, valueW, rowH}, Centre);
    caption(record, tr("Place"), {60, 1840, labelW, rowH}, Left);
    m_place = valueField(record, QStringLiteral("Label17(1)"), {valueX, 1840, valueW, rowH}, Centre);

    // "Current Setting": the receiver's interval and the alarm.
    auto *setting = new QGroupBox(tr("Current Setting"), this);
    m_layout.add(setting, {2580, 60, 2490, 1320}, TextPoints);
    caption(setting, tr("Interval"), {60, 260, 860, rowH}, Left);
    m_intervalMinutes = valueField(setting, QStringLiteral("Label8(0)"), {920, 260, 400, rowH}, Centre);
    caption(setting, QStringLiteral(":"), {1320, 260, 120, rowH}, Centre);
    m_intervalSeconds = valueField(setting, QStringLiteral("Label8(1)"), {1440, 260, 400, rowH}, Centre);
    m_images[0] =
        image(setting, QStringLiteral("Image1(0)"), QStringLiteral("alarm-armed"), {1960, 200, 440, 440});
    m_images[1] =
        image(setting, QStringLiteral("Image1(1)"), QStringLiteral("alarm-sounding"), {1960, 200, 440, 440});
    const double hiY = 640, lowY = 960;
    caption(setting, tr("Hi"), {60, hiY, 460, rowH}, Left);
    setBackground(box(setting, {520, hiY, 1880, rowH}), HighBoxColour);
    m_highLimit = caption(setting, QString(), {560, hiY, 1100, rowH}, Qt::AlignRight | Qt::AlignVCenter);
    m_highUnit = caption(setting, QString(), {1720, hiY, 640, rowH}, Left);
    caption(setting, tr("Low"), {60, lowY, 460, rowH}, Left);
    setBackground(box(setting, {520, lowY, 1880, rowH}), LowBoxColour);
    m_lowLimit = caption(setting, QString(), {560, lowY, 1100, rowH}, Qt::AlignRight | Qt::AlignVCenter);
    m_lowUnit = caption(setting, QString(), {1720, lowY, 640, rowH}, Left);
    m_highLimit->setObjectName(QStringLiteral("Label8(2)"));
    m_lowLimit->setObjectName(QStringLiteral("Label8(3)"));
    m_highUnit->setObjectName(QStringLiteral("Label8(4)"));
    m_lowUnit->setObjectName(QStringLiteral("Label8(5)"));

    // The statistics of the main channel.
    auto *stats = new QFrame(this);
    stats->setFrameShape(QFrame::StyledPanel);
    m_layout.add(stats, {2580, 1440, 2490, 1920});
    const double valueCol = 480, statW = 720, unitCol = 1220, unitW = 360, timeCol = 1600, timeW = 830;
    caption(stats, tr("Value"), {valueCol, 100, statW, rowH}, Centre);
    caption(stats, tr("Unit"), {unitCol, 100, unitW, rowH}, Centre);
    caption(stats, tr("Time"), {timeCol, 100, timeW, rowH}, Centre);
    const QString rows[3] = {tr("Avg"), tr("Max"), tr("Min")};
    StatisticRow *const tableRows[3] = {&m_average, &m_maximum, &m_minimum};
    for (int i = 0; i < 3; ++i) {
        const double y = 480 + i * 460;
        caption(stats, rows[i], {60, y, 400, 360}, Left);
        StatisticRow &row = *tableRows[i];
        row.value =
            valueField(stats, QStringLiteral("Label15(%1)").arg(i), {valueCol, y, statW, 360}, Centre);
        row.unit =
            valueField(stats, QStringLiteral("Label15(%1)").arg(i + 3), {unitCol, y, unitW, 360}, Centre);
        if (i > 0)
            row.time =
                valueField(stats, QStringLiteral("Label16(%1)").arg(i), {timeCol, y, timeW, 360}, Centre);
    }
}

void FmMonitor::applyColours()
{
    const Settings &settings = m_settings.values();
    const QColor fore = colorFromStored(settings.Moni_ForeColor);
    const QColor back = colorFromStored(settings.Moni_BackColor);
    setBackground(m_display, back);
    for (QLabel *label : {m_bigValue, m_bigUnit, m_linkLoss}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, fore);
        label->setPalette(palette);
        setBackground(label, back);
    }
}

QLabel *FmMonitor::field(const QString &controlName) const
{
    return findChild<QLabel *>(controlName);
}

void FmMonitor::scheduleRender()
{
    if (!m_renderTimer.isActive()) m_renderTimer.start();
}

void FmMonitor::renderNow()
{
    m_renderTimer.stop();
    render();
}

void FmMonitor::render()
{
    const MonitorFields &fields = m_fields;
    m_bigValue->setText(fields.bigValue);
    m_bigUnit->setText(fields.bigUnit);
    m_linkLoss->setText(fields.linkLoss);
    m_intervalMinutes->setText(fields.interval.minutes);
    m_intervalSeconds->setText(fields.interval.seconds);
    m_highLimit->setText(fields.alarmLimits.high);
    m_highUnit->setText(fields.alarmLimits.highUnit);
    m_lowLimit->setText(fields.alarmLimits.low);
    m_lowUnit->setText(fields.alarmLimits.lowUnit);
    m_file->setText(fields.file);
    m_received->setText(fields.receivedChannels);
    m_type->setText(fields.type);
    m_serial->setText(fields.serialNumber);
    m_place->setText(fields.place);
    m_images[0]->setVisible(fields.armedImageVisible);
    m_images[1]->setVisible(fields.soundingImageVisible);
    const auto show = [](const StatisticRow &row, const ShownExtreme &statistic) {
        row.value->setText(statistic.value);
        row.unit->setText(statistic.unit);
        if (row.time) row.time->setText(statistic.time);
    };
    show(m_average, {fields.average.value, fields.average.unit, {}});
    show(m_maximum, fields.maximum);
    show(m_minimum, fields.minimum);

    // The selector is rewritten without telling anyone: only the user's own pick selects.
    const QSignalBlocker blocker(m_combo);
    QStringList shown;
    for (int i = 0; i < m_combo->count(); ++i)
        shown.append(m_combo->itemText(i));
    if (shown != fields.channelEntries) {
        m_combo->clear();
        m_combo->addItems(fields.channelEntries);
    }
    if (m_combo->currentIndex() != fields.channelIndex) m_combo->setCurrentIndex(fields.channelIndex);

    Q_EMIT rendered();
}

void FmMonitor::onChannelActivated(int index)
{
    m_fields.selectEntry(index);
}

void FmMonitor::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply(event->size(), logicalDpiX());
}

bool FmMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bigValue && event->type() == QEvent::Paint) {
        const bool handled = QWidget::eventFilter(watched, event);
        Q_EMIT bigValuePainted();
        return handled;
    }
    return QWidget::eventFilter(watched, event);
}

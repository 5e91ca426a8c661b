#pragma once
#include <QTimer>
#include <QWidget>
#include <array>

#include "ui/common/ProportionalLayout.h"

class QComboBox;
class QFrame;
class QLabel;
class MonitorFields;
class UserSettings;

// The monitor window: the main channel in large digits with its unit and, under them, how
// long the receiver's link is or was lost; the interval, the alarm limits and images, the
// record's file and channels, and the running statistics.
// It renders MonitorFields (repaints of a burst of changes are merged into one) and forwards
// the user's pick of a channel; everything it shows is decided by the core.
class FmMonitor : public QWidget
{
    Q_OBJECT
public:
    static constexpr double DesignWidth = 5130; // client size in twips the fields are drawn for
    static constexpr double DesignHeight = 3420;

    FmMonitor(MonitorFields &fields, const UserSettings &settings, QWidget *parent = nullptr);

    // Colours of the big display from the settings (again after the options changed).
    void applyColours();
    // Renders the fields now instead of at the next turn of the event loop.
    void renderNow();

    // The fields by their control names, for tests and tools: "Label1(0)", "Label2(0)",
    // "Label8(0)".."Label8(5)", "Label7", "Label4", "Label11", "Label17(0)", "Label17(1)",
    // "Label15(0)".."Label15(5)", "Label16(1)", "Label16(2)", "Image1(0)", "Image1(1)",
    // "LinkLoss".
    QLabel *field(const QString &controlName) const;
    QComboBox *channelSelector() const { return m_combo; }

Q_SIGNALS:
    // After the fields were brought up to date.
    void rendered();
    // The big value has been painted on screen.
    void bigValuePainted();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *caption(QWidget *parent, const QString &text, const QRectF &rect, Qt::Alignment alignment);
    QLabel *valueField(QWidget *parent, const QString &name, const QRectF &rect, Qt::Alignment alignment);
    QFrame *box(QWidget *parent, const QRectF &rect);
    QLabel *image(QWidget *parent, const QString &name, const QString &icon, const QRectF &rect);
    void build();
    void render();
    void scheduleRender();
    void onChannelActivated(int index);

    MonitorFields &m_fields;
    const UserSettings &m_settings;
    ProportionalLayout m_layout;
    QTimer m_renderTimer;

    QFrame *m_display = nullptr; // Picture1
    QLabel *m_bigValue = nullptr;
    QLabel *m_bigUnit = nullptr;
    QLabel *m_linkLoss = nullptr;
    QLabel *m_intervalMinutes = nullptr;
    QLabel *m_intervalSeconds = nullptr;
    QLabel *m_highLimit = nullptr;
    QLabel *m_highUnit = nullptr;
    QLabel *m_lowLimit = nullptr;
    QLabel *m_lowUnit = nullptr;
    QLabel *m_file = nullptr;
    QLabel *m_received = nullptr;
    QComboBox *m_combo = nullptr;
    QLabel *m_type = nullptr;
    QLabel *m_serial = nullptr;
    QLabel *m_place = nullptr;
    std::array<QLabel *, 2> m_images{};
    // A row of the statistics table; the average's row has no time.
    struct StatisticRow {
        QLabel *value = nullptr;
        QLabel *unit = nullptr;
        QLabel *time = nullptr;
    };
    StatisticRow m_average;
    StatisticRow m_maximum;
    StatisticRow m_minimum;
};

// The monitor window: initial texts, merged repaints, channel selector, colours, resizing.
#include <QComboBox>
#include <QLabel>
#include <QtTest>

#include "core/settings/UserSettings.h"
#include <optional>

#include "core/monitor/MonitorFields.h"
#include "support/RecordingSession.h"
#include "ui/monitor/FmMonitor.h"

using namespace Qt::StringLiterals;

class TestMonitorWindow : public QObject
{
    Q_OBJECT
    std::optional<RecordingSession> m_rig;
    std::optional<FmMonitor> m_monitor;
    QLabel *field(const char *control) const { return m_monitor->field(QLatin1String(control)); }
    QString text(const char *control) const { return field(control)->text(); }
    MonitorFields &fields() { return m_rig->session.monitor(); }
    QSize designSize() const
    {
        return {qRound(FmMonitor::DesignWidth * m_monitor->logicalDpiX() / 1440),
                qRound(FmMonitor::DesignHeight * m_monitor->logicalDpiY() / 1440)};
    }

private Q_SLOTS:
    void init()
    {
        m_monitor.reset(); // the window goes before the session it shows
        m_rig.emplace();
        m_monitor.emplace(m_rig->session.monitor(), m_rig->session.userSettings());
    }
    void initialTextsThenChangesRenderedOnce()
    {
        QCOMPARE(text("Label1(0)"), u"-????.?"_s);
        QCOMPARE(text("Label2(0)"), u"??"_s);
        for (const char *dash :
             {"Label15(0)", "Label15(1)", "Label15(2)", "Label16(1)", "Label16(2)", "Label8(0)", "Label8(1)",
              "Label8(2)", "Label8(3)", "Label17(0)", "Label17(1)"})
            QVERIFY2(text(dash) == QLatin1String("-"), dash);
        for (const char *blank : {"Label15(3)", "Label15(4)", "Label15(5)", "Label8(4)", "Label8(5)",
                                  "Label7", "Label4", "Label11", "LinkLoss"})
            QVERIFY2(text(blank).isEmpty(), blank);
        QVERIFY(field("Image1(0)")->isHidden() && field("Image1(1)")->isHidden());
        QCOMPARE(m_monitor->channelSelector()->count(), 0);
        QSignalSpy rendered(&*m_monitor, &FmMonitor::rendered);
        fields().bigValue = u"+12.34"_s;
        fields().notify();
        fields().bigUnit = u"mV"_s;
        fields().average.value = u"11.00"_s;
        fields().alarmLimits.high = u"100"_s;
        fields().soundingImageVisible = true;
        fields().linkLoss = u"Link lost 00:12"_s;
        fields().notify();
        QCOMPARE(text("Label1(0)"), u"-????.?"_s); // nothing before the event loop turns
        QTRY_COMPARE(rendered.count(), 1);
        QCOMPARE(text("Label1(0)"), u"+12.34"_s);
        QCOMPARE(text("Label2(0)"), u"mV"_s);
        QCOMPARE(text("Label15(0)"), u"11.00"_s);
        QCOMPARE(text("Label8(2)"), u"100"_s);
        QCOMPARE(text("LinkLoss"), u"Link lost 00:12"_s);
        QVERIFY(field("Image1(0)")->isHidden() && !field("Image1(1)")->isHidden());
        bool turned = false; // a second render would come before the next turn of the event loop
        QTimer::singleShot(0, this, [&turned] { turned = true; });
        QTRY_VERIFY(turned);
        QCOMPARE(rendered.count(), 1);
    }
    void selectorForwardsOnlyUserPicks()
    {
        QSignalSpy picks(&fields(), &MonitorFields::entrySelected);
        fields().channelEntries = {u"1_Ch1"_s, u"3_Ch3"_s};
        fields().channelIndex = 1;
        m_monitor->renderNow();
        QComboBox *combo = m_monitor->channelSelector();
        QCOMPARE(combo->itemText(1), u"3_Ch3"_s);
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(picks.count(), 0);
        m_monitor->show();
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(picks.count(), 1);
        QCOMPARE(picks.first().first().toInt(), 0);
    }
    void coloursFromSettings()
    {
        const auto colours = [this](const char *control) {
            const QPalette palette = m_monitor->findChild<QWidget *>(QLatin1String(control))->palette();
            return std::make_pair(palette.color(QPalette::WindowText), palette.color(QPalette::Window));
        };
        QCOMPARE(colours("Label1(0)"), std::make_pair(QColor(Qt::white), QColor(0, 128, 0))); // the defaults
        Settings edited = m_rig->session.settings();
        edited.Moni_ForeColor = 0x0000FF; // red in the lowest byte
        edited.Moni_BackColor = 0x800000;
        m_rig->session.userSettings().saveOptions(edited); // the window follows the saved options
        QCOMPARE(colours("Label1(0)"), std::make_pair(QColor(255, 0, 0), QColor(0, 0, 128)));
        QCOMPARE(colours("Picture1").second, QColor(0, 0, 128));
        QCOMPARE(colours("LinkLoss"), colours("Label1(0)")); // part of the big display
    }
    // Every caption has the room its text needs, and keeps clear of the box beside it, at any size.
    void captionsFitAtEveryScale_data()
    {
        QTest::addColumn<double>("scale");
        for (double scale : {0.5, 0.75, 1.0, 1.33, 2.0})
            QTest::newRow(qPrintable(QString::number(scale))) << scale;
    }
    void captionsFitAtEveryScale()
    {
        QFETCH(double, scale);
        m_monitor->resize(designSize() * scale);
        m_monitor->show();
        // The longest line about a lost link the display may have to show.
        fields().linkLoss = u"Link lost 99 times, 99:59:59"_s;
        m_monitor->renderNow();
        for (const QLabel *label : m_monitor->findChildren<QLabel *>()) {
            const QString text = label->text().trimmed();
            if ((!label->objectName().isEmpty() && label != field("LinkLoss")) || text.isEmpty())
                continue; // values, images
            const int needed = label->fontMetrics().horizontalAdvance(text);
            QVERIFY2(needed <= label->contentsRect().width(),
                     qPrintable(u"\"%1\" needs %2 px, has %3"_s.arg(text).arg(needed).arg(
                         label->contentsRect().width())));
            if (text == u"Serial Number")
                QVERIFY(label->geometry().right() < field("Label17(0)")->geometry().left());
        }
    }
    void resizeScalesFieldsAndFonts()
    {
        m_monitor->resize(designSize());
        m_monitor->show();
        QLabel *value = field("Label1(0)");
        const QRect atDesign = value->geometry();
        const qreal points = value->font().pointSizeF();
        m_monitor->resize(designSize() * 2);
        QCOMPARE(value->font().pointSizeF(), 2 * points);
        QCOMPARE(field("Label15(0)")->font().pointSizeF(), 16.0); // 8 points at the design size
        QVERIFY(qAbs(value->width() - 2 * atDesign.width()) <= 1 && qAbs(value->x() - 2 * atDesign.x()) <= 1);
        m_monitor->resize(designSize()); // back at the design size nothing has drifted
        QCOMPARE(value->geometry(), atDesign);
        QCOMPARE(value->font().pointSizeF(), points);
    }
};

QTEST_MAIN(TestMonitorWindow)
#include "tst_gui_monitor.moc"

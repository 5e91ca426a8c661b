// The table window: header, the options' look, proportional widths, the record's viewport.
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include "core/settings/UserSettings.h"
#include <optional>

#include "core/record/RecordStore.h"
#include "support/RecordingSession.h"
#include "ui/table/FmGrid.h"

using Style = GridStyle::LineStyle;
Q_DECLARE_METATYPE(Style)

class TestTableWindow : public QObject
{
    Q_OBJECT
    std::optional<RecordingSession> m_rig;
    std::optional<FmGrid> m_grid;
    QTableView *view() const { return m_grid->grid(); }
    RecordStore &record() { return m_rig->session.record(); }
private Q_SLOTS:
    void init()
    {
        m_grid.reset(); // the window goes before the session it shows
        m_rig.emplace();
        m_grid.emplace(m_rig->session.record(), m_rig->session.userSettings());
    }
    void headersAndTrimmedNames()
    {
        const QAbstractItemModel *model = view()->model();
        const QStringList fresh{"Index", "Date", "Time", "Ch1",  "Unit", "Time", "Ch2",
                                "Unit",  "Time", "Ch3",  "Unit", "Time", "Ch4",  "Unit",
                                "Time",  "Ch5",  "Unit", "Time", "Ch6",  "Unit"};
        for (int column = 0; column < 20; ++column)
            QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), fresh[column]);
        m_rig->store.save(QStringLiteral("Channel_n6"), QStringLiteral("\t Tank A  "));
        m_rig->session.startUp();
        QCOMPARE(model->headerData(18, Qt::Horizontal).toString(), QStringLiteral("Tank A"));
    }
    void optionsDecideTheLook_data()
    {
        QTest::addColumn<QString>("checks"); // lines, flat, inset, raised, row colour
        QTest::addColumn<int>("stored");     // red in the lowest byte, blue in the highest
        QTest::addColumn<Style>("style");
        QTest::addColumn<QColor>("rowColor");
        QTest::newRow("flat+raised: raised") << "11011" << 0x00FFFF << Style::Raised << QColor(Qt::yellow);
        QTest::newRow("flat+inset: inset") << "11101" << 0xC0C0C0 << Style::Inset << QColor(Qt::lightGray);
        QTest::newRow("no style: none") << "10001" << 0xFF0000 << Style::None << QColor(Qt::blue);
        QTest::newRow("no lines") << "01111" << 0x00FF00 << Style::None << QColor(Qt::green);
        QTest::newRow("unchecked: white") << "11000" << 0x0000FF << Style::Flat << QColor(Qt::white);
    }
    void optionsDecideTheLook()
    {
        QFETCH(QString, checks);
        QFETCH(int, stored);
        UserSettings &saved = m_rig->session.userSettings();
        Settings settings = saved.values();
        settings.Grid_lnsetCk = true; // inset before, which a row without any style checked drops
        saved.saveOptions(settings);
        using S = Settings;
        bool S::*const boxes[] = {&S::Grid_lineCk, &S::Grid_FlatCk, &S::Grid_lnsetCk, &S::Grid_RaisedCk,
                                  &S::Grid_BackColorCk};
        for (int i = 0; i < 5; ++i)
            settings.*boxes[i] = checks[i] == u'1';
        settings.Grid_BackColor = stored;
        saved.saveOptions(settings); // the window follows the saved options
        QTEST(m_grid->lineStyle(), "style");
        QCOMPARE(view()->showGrid(), m_grid->lineStyle() == Style::Flat); // other styles are drawn
        m_grid->resize(400, 200);
        const QPoint cell = view()->visualRect(view()->model()->index(0, 1)).center();
        QTEST(QColor(view()->viewport()->grab().toImage().pixel(cell)), "rowColor");
    }
    void widthsKeepProportions()
    {
        // Index 550, date 1000, then time 800, value 640 and unit 400 per channel; 6450 fill the view.
        const int base[] = {550, 1000, 800, 640, 400};
        m_grid->show();
        m_grid->resize(1290, 300);
        for (int column = 0; column < 5; ++column)
            QVERIFY(qAbs(view()->columnWidth(column) - base[column] * 1290 / 6450.0) <= 1);
        QCOMPARE(view()->columnWidth(17), view()->columnWidth(2)); // every channel alike
    }
    void followsTheRecordViewportBothWays()
    {
        record().setGridRowCount(301);
        m_grid->show();
        record().setFirstVisibleRow(150);
        QTRY_COMPARE(view()->rowAt(0), 149);
        // The user's scrolling goes back to the record.
        view()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        QTRY_COMPARE(record().firstVisibleRow(), view()->verticalScrollBar()->value() + 1);
        // Scrolled to the last columns, the first one shown is shown whole.
        m_grid->resize(700, 300);
        record().setFirstVisibleColumn(19);
        QTRY_COMPARE(view()->horizontalScrollBar()->value(), view()->horizontalScrollBar()->maximum());
        QCOMPARE(view()->columnViewportPosition(view()->columnAt(0)), 0);
    }
};

QTEST_MAIN(TestTableWindow)
#include "tst_gui_table.moc"

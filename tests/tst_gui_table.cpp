// The table window: header and rows from the record, the options' line style and row colour,
// widths in proportion to the window, size-8 fonts, and following the core's viewport.
#include <QtTest>

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <memory>

#include "recording/RecordStore.h"
#include "support/RecordingSession.h"
#include "table/FmGrid.h"

Q_DECLARE_METATYPE(GridStyle::LineStyle)

class TestTableWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void freshTable();
    void channelNamesAreTrimmed();
    void optionsDecideTheLook_data();
    void optionsDecideTheLook();
    void resizeKeepsProportionsAndFontSize();
    void followsTheCoreViewport();
    void userScrollingIsReported();
    void fullRecordKeepsUniformRows();

private:
    QString header(int column) const
    {
        return m_grid->grid()->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    RecordStore &record() { return m_rig->session.record(); }

    std::unique_ptr<RecordingSession> m_rig;
    std::unique_ptr<FmGrid> m_grid;
};

void TestTableWindow::init()
{
    m_rig = std::make_unique<RecordingSession>();
    m_grid = std::make_unique<FmGrid>(m_rig->session);
}

void TestTableWindow::cleanup()
{
    m_grid.reset();
    m_rig.reset();
}

void TestTableWindow::freshTable()
{
    QCOMPARE(m_grid->windowTitle(), QStringLiteral("Table"));
    const QAbstractItemModel *model = m_grid->grid()->model();
    QCOMPARE(model->columnCount(), 20);
    QStringList headers;
    for (int column = 0; column < 20; ++column)
        headers.append(header(column));
    QCOMPARE(headers,
             (QStringList{"Index", "Date", "Time", "Ch1",  "Unit", "Time", "Ch2",  "Unit", "Time", "Ch3",
                          "Unit",  "Time", "Ch4",  "Unit", "Time", "Ch5",  "Unit", "Time", "Ch6",  "Unit"}));
    QCOMPARE(model->rowCount(), 1);
    for (int column = 0; column < 20; ++column) {
        QCOMPARE(model->index(0, column).data().toString(), QString());
        QCOMPARE(model->index(0, column).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    }
    QVERIFY(m_grid->grid()->verticalHeader()->isHidden());
}

void TestTableWindow::channelNamesAreTrimmed()
{
    m_rig->store.save(QStringLiteral("Channel_n2"), QStringLiteral("  Pump A  "));
    m_rig->store.save(QStringLiteral("Channel_n6"), QStringLiteral("\tTank"));
    m_rig->session.startUp();
    QCOMPARE(header(6), QStringLiteral("Pump A"));
    QCOMPARE(header(18), QStringLiteral("Tank"));
    QCOMPARE(m_grid->grid()->horizontalHeader()->model()->headerData(6, Qt::Horizontal).toString(),
             QStringLiteral("Pump A"));
}

void TestTableWindow::optionsDecideTheLook_data()
{
    QTest::addColumn<int>("lineCk");
    QTest::addColumn<int>("flat");
    QTest::addColumn<int>("raised");
    QTest::addColumn<int>("backColorCk");
    QTest::addColumn<int>("backColor");
    QTest::addColumn<GridStyle::LineStyle>("style");
    QTest::addColumn<bool>("plainGrid");
    QTest::addColumn<QColor>("rowColor");

    using S = GridStyle::LineStyle;
    QTest::newRow("flat and raised: raised")
        << 1 << 1 << 1 << 1 << 0x00FFFF << S::Raised << false << QColor(255, 255, 0);
    QTest::newRow("flat, coloured rows")
        << 1 << 1 << 0 << 1 << 0xC0C0C0 << S::Flat << true << QColor(192, 192, 192);
    QTest::newRow("no lines") << 0 << 1 << 1 << 1 << 0xFFFFFF << S::None << false << QColor(Qt::white);
    QTest::newRow("colour unchecked: white rows")
        << 1 << 1 << 0 << 0 << 0x0000FF << S::Flat << true << QColor(Qt::white);
}

void TestTableWindow::optionsDecideTheLook()
{
    QFETCH(int, lineCk);
    QFETCH(int, flat);
    QFETCH(int, raised);
    QFETCH(int, backColorCk);
    QFETCH(int, backColor);
    QFETCH(GridStyle::LineStyle, style);
    QFETCH(bool, plainGrid);
    QFETCH(QColor, rowColor);

    Settings &settings = m_rig->session.settings();
    settings.Grid_lineCk = qint16(lineCk);
    settings.Grid_FlatCk = qint16(flat);
    settings.Grid_lnsetCk = 0;
    settings.Grid_RaisedCk = qint16(raised);
    settings.Grid_BackColorCk = qint16(backColorCk);
    settings.Grid_BackColor = backColor;
    // Both at load and when the options are applied again.
    FmGrid loaded(m_rig->session);
    m_grid->applyOptions();
    for (const FmGrid *grid :
         {static_cast<const FmGrid *>(&loaded), static_cast<const FmGrid *>(m_grid.get())}) {
        QCOMPARE(grid->lineStyle(), style);
        QCOMPARE(grid->grid()->showGrid(), plainGrid);
        QCOMPARE(grid->dataRowColor(), rowColor);
    }

    // The data rows are painted in the row colour.
    m_grid->resize(400, 200);
    const QImage image = m_grid->grid()->viewport()->grab().toImage();
    const QRect cell = m_grid->grid()->visualRect(m_grid->grid()->model()->index(0, 1));
    QCOMPARE(QColor(image.pixel(cell.center())), rowColor);
}

void TestTableWindow::resizeKeepsProportionsAndFontSize()
{
    m_grid->show();
    for (const QSize size : {QSize(438, 228), QSize(900, 300), QSize(1290, 500)}) {
        m_grid->resize(size);
        QTableView *view = m_grid->grid();
        QCOMPARE(view->geometry(), QRect(QPoint(0, 0), size));
        QCOMPARE(view->font().pointSizeF(), 8.0);
        QCOMPARE(view->horizontalHeader()->font().pointSizeF(), 8.0);
        for (int column = 0; column < 20; ++column) {
            const double expected = GridStyle::baseWidth(column) * size.width() / 6450.0;
            QVERIFY2(qAbs(view->columnWidth(column) - expected) <= 1, qPrintable(QString::number(column)));
        }
    }
}

void TestTableWindow::followsTheCoreViewport()
{
    record().setGridRowCount(301);
    m_grid->resize(400, 200);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));

    record().setFirstVisibleRow(150);
    QTRY_COMPARE(m_grid->grid()->verticalScrollBar()->value(), 149);
    QCOMPARE(m_grid->grid()->rowAt(0), 149);
    record().setFirstVisibleColumn(9);
    QTRY_COMPARE(m_grid->grid()->horizontalScrollBar()->value(), 9);
    QCOMPARE(m_grid->grid()->columnAt(0), 9);
}

void TestTableWindow::userScrollingIsReported()
{
    record().setGridRowCount(301);
    m_grid->resize(400, 200);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
    QScrollBar *bar = m_grid->grid()->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QVERIFY(bar->value() > 0);
    QTRY_COMPARE(record().firstVisibleRow(), bar->value() + 1);
}

void TestTableWindow::fullRecordKeepsUniformRows()
{
    record().setGridRowCount(RecordStore::MaxSampleRows + 1);
    m_grid->resize(400, 200);
    m_grid->show();
    QTableView *view = m_grid->grid();
    QCOMPARE(view->model()->rowCount(), RecordStore::MaxSampleRows);
    QCOMPARE(view->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QCOMPARE(view->rowHeight(0), view->rowHeight(RecordStore::MaxSampleRows - 1));
    record().setFirstVisibleRow(RecordStore::MaxSampleRows);
    QTRY_COMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
    QVERIFY(view->verticalScrollBar()->maximum() > RecordStore::MaxSampleRows - 20);
}

QTEST_MAIN(TestTableWindow)
#include "tst_gui_table.moc"

// The frame's layout rule and the table's look, as pure functions on twips and settings.
#include <QtTest>

#include "settings/Settings.h"
#include "shell/LayoutRule.h"
#include "table/GridStyle.h"

using LayoutRule::WindowState;
Q_DECLARE_METATYPE(WindowState)
Q_DECLARE_METATYPE(GridStyle::LineStyle)

namespace
{

// The scale factors are single precision, as the layout has always computed them.
bool near(double actual, double expected)
{
    return qAbs(actual - expected) <= 1e-6 * qMax(1.0, qAbs(expected));
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frameStep_data();
    void frameStep();
    void maximisedFrameScalesTiles();
    void tableHeightFollowsPowerWindow_data();
    void tableHeightFollowsPowerWindow();
    void graphTakesRestOfClientHeight();
    void derivedTablePlacementUsesPowerHeight();
    void neighbouringTilesMeetInPixels();
    void twipsAndPixels();
    void lineStyle_data();
    void lineStyle();
    void dataRowColor_data();
    void dataRowColor();
    void columnWidthsKeepProportions();
};

void TestLayout::frameStep_data()
{
    QTest::addColumn<WindowState>("state");
    QTest::addColumn<WindowState>("previous");
    QTest::addColumn<QSizeF>("frame");
    QTest::addColumn<bool>("layOut");
    QTest::addColumn<QSizeF>("expected");

    const QSizeF reference(12000, 8800);
    QTest::newRow("minimised: nothing")
        << WindowState::Minimized << WindowState::Normal << QSizeF(3000, 500) << false << QSizeF();
    QTest::newRow("normal again: user's enlargement undone")
        << WindowState::Normal << WindowState::Normal << QSizeF(15000, 9900) << true << reference;
    QTest::newRow("normal again: user's shrinking undone")
        << WindowState::Normal << WindowState::Normal << QSizeF(9000, 6000) << true << reference;
    QTest::newRow("just restored, small: enlarged to the reference")
        << WindowState::Normal << WindowState::Maximized << QSizeF(9000, 9500) << true << QSizeF(12000, 9500);
    QTest::newRow("just restored, large: kept") << WindowState::Normal << WindowState::Maximized
                                                << QSizeF(14000, 9000) << true << QSizeF(14000, 9000);
    QTest::newRow("maximised: kept") << WindowState::Maximized << WindowState::Maximized
                                     << QSizeF(28800, 16200) << true << QSizeF(28800, 16200);
    QTest::newRow("just maximised: kept") << WindowState::Maximized << WindowState::Normal
                                          << QSizeF(28800, 16200) << true << QSizeF(28800, 16200);
}

void TestLayout::frameStep()
{
    QFETCH(WindowState, state);
    QFETCH(WindowState, previous);
    QFETCH(QSizeF, frame);
    QFETCH(bool, layOut);
    QFETCH(QSizeF, expected);

    const LayoutRule::FrameStep step = LayoutRule::frameStep(state, previous, frame);
    QCOMPARE(step.layOut, layOut);
    if (!layOut) return;
    QCOMPARE(step.frameSize, expected);
    QCOMPARE(step.resizeFrame, expected != frame);
}

void TestLayout::maximisedFrameScalesTiles()
{
    const QSizeF frame(28800, 16200);
    const LayoutRule::Scale scale = LayoutRule::scaleOf(frame);
    QCOMPARE(scale.sx, 2.4f);
    QCOMPARE(scale.sy, float(16200.0 / 8800.0));

    const LayoutRule::Tiles tiles = LayoutRule::tiles(scale, 15000, false);
    QVERIFY(near(tiles.monitor.width() / frame.width(), 5250.0 / 12000.0));
    QVERIFY(near(tiles.monitor.height() / frame.height(), 3990.0 / 8800.0));
    QCOMPARE(tiles.monitor.topLeft(), QPointF(0, 0));
    QCOMPARE(tiles.table.left(), tiles.monitor.right());
    QVERIFY(near(tiles.table.width() / frame.width(), 6570.0 / 12000.0));
    QVERIFY(near(tiles.graph.width() / frame.width(), 11820.0 / 12000.0));
}

void TestLayout::tableHeightFollowsPowerWindow_data()
{
    QTest::addColumn<bool>("powerVisible");
    QTest::addColumn<double>("share");
    QTest::newRow("power window shown") << true << 2370.0 / 8800.0;
    QTest::newRow("power window hidden") << false << 3990.0 / 8800.0;
}

void TestLayout::tableHeightFollowsPowerWindow()
{
    QFETCH(bool, powerVisible);
    QFETCH(double, share);
    for (const QSizeF frame : {QSizeF(12000, 8800), QSizeF(20000, 13000)}) {
        const LayoutRule::Scale scale = LayoutRule::scaleOf(frame);
        const QRectF table = LayoutRule::tableTile(scale, powerVisible);
        QVERIFY(near(table.height() / frame.height(), share));
        QCOMPARE(table.top(), 0.0);
    }
    // The power window fills exactly the height the table gives up.
    const LayoutRule::Scale scale = LayoutRule::scaleOf({12000, 8800});
    QCOMPARE(LayoutRule::powerTile(scale), QRectF(5250, 2370, 6570, 1620));
    QCOMPARE(LayoutRule::tableTile(scale, true).bottom(), LayoutRule::powerTile(scale).top());
}

void TestLayout::graphTakesRestOfClientHeight()
{
    const LayoutRule::Scale scale = LayoutRule::scaleOf({12000, 8800});
    QCOMPARE(LayoutRule::graphTile(scale, 7900), QRectF(0, 3990, 11820, 7900 - 3990));
    // A client area lower than the monitor leaves the graph no height rather than a negative one.
    QCOMPARE(LayoutRule::graphTile(scale, 2000).height(), 0.0);
}

void TestLayout::derivedTablePlacementUsesPowerHeight()
{
    const LayoutRule::Scale scale = LayoutRule::scaleOf({24000, 17600});
    QCOMPARE(LayoutRule::derivedTablePlacement(scale, false, 3240), QRectF(10500, 0, 13140, 7980));
    QCOMPARE(LayoutRule::derivedTablePlacement(scale, true, 3240), QRectF(10500, 0, 13140, 7980 - 3240));
    // A power window taller than the table leaves it no height rather than a negative one.
    QCOMPARE(LayoutRule::derivedTablePlacement(scale, true, 9000).height(), 0.0);
}

void TestLayout::neighbouringTilesMeetInPixels()
{
    // At 96 dpi 5250 twips are 350 px; at 120 dpi tile edges fall between pixels.
    for (const double dpi : {96.0, 120.0, 144.0}) {
        const LayoutRule::Scale scale = LayoutRule::scaleOf({13337, 9001});
        const LayoutRule::Tiles tiles = LayoutRule::tiles(scale, 8000, true);
        const QRect monitor = LayoutRule::toPixels(tiles.monitor, dpi, dpi);
        const QRect table = LayoutRule::toPixels(tiles.table, dpi, dpi);
        const QRect power = LayoutRule::toPixels(tiles.power, dpi, dpi);
        const QRect graph = LayoutRule::toPixels(tiles.graph, dpi, dpi);
        QCOMPARE(table.left(), monitor.right() + 1);
        QCOMPARE(power.top(), table.bottom() + 1);
        QCOMPARE(graph.top(), monitor.bottom() + 1);
    }
}

void TestLayout::twipsAndPixels()
{
    QCOMPARE(LayoutRule::twipsToPixels(1440, 96), 96.0);
    QCOMPARE(LayoutRule::pixelsToTwips(96, 96), 1440.0);
    QCOMPARE(LayoutRule::pixelsToTwips(10, 0), 0.0);
    QCOMPARE(LayoutRule::toPixels({0, 0, 12000, 8800}, 96, 96), QRect(0, 0, 800, 587));
    QCOMPARE(LayoutRule::toTwips(QSize(800, 600), 96, 96), QSizeF(12000, 9000));
}

void TestLayout::lineStyle_data()
{
    QTest::addColumn<int>("lineCk");
    QTest::addColumn<int>("flat");
    QTest::addColumn<int>("inset");
    QTest::addColumn<int>("raised");
    QTest::addColumn<GridStyle::LineStyle>("current");
    QTest::addColumn<GridStyle::LineStyle>("expected");

    using S = GridStyle::LineStyle;
    QTest::newRow("flat and raised: raised wins") << 1 << 1 << 0 << 1 << S::Flat << S::Raised;
    QTest::newRow("flat and inset: inset wins") << 1 << 1 << 1 << 0 << S::Flat << S::Inset;
    QTest::newRow("flat only") << 1 << 1 << 0 << 0 << S::Raised << S::Flat;
    QTest::newRow("lines but no style: kept") << 1 << 0 << 0 << 0 << S::Inset << S::Inset;
    QTest::newRow("no lines whatever the styles") << 0 << 1 << 1 << 1 << S::Flat << S::None;
}

void TestLayout::lineStyle()
{
    QFETCH(int, lineCk);
    QFETCH(int, flat);
    QFETCH(int, inset);
    QFETCH(int, raised);
    QFETCH(GridStyle::LineStyle, current);
    QFETCH(GridStyle::LineStyle, expected);

    Settings settings;
    settings.Grid_lineCk = qint16(lineCk);
    settings.Grid_FlatCk = qint16(flat);
    settings.Grid_lnsetCk = qint16(inset);
    settings.Grid_RaisedCk = qint16(raised);
    QCOMPARE(GridStyle::lineStyle(settings, current), expected);
}

void TestLayout::dataRowColor_data()
{
    QTest::addColumn<int>("checked");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("unchecked: white whatever is stored") << 0 << 255 << QColor(Qt::white);
    QTest::newRow("red is the lowest byte") << 1 << 0x0000FF << QColor(255, 0, 0);
    QTest::newRow("blue is the highest byte") << 1 << 0xFF0000 << QColor(0, 0, 255);
    QTest::newRow("mixed") << 1 << 0x123456 << QColor(0x56, 0x34, 0x12);
}

void TestLayout::dataRowColor()
{
    QFETCH(int, checked);
    QFETCH(int, stored);
    QFETCH(QColor, expected);
    Settings settings;
    settings.Grid_BackColorCk = qint16(checked);
    settings.Grid_BackColor = stored;
    QCOMPARE(GridStyle::dataRowColor(settings), expected);
}

void TestLayout::columnWidthsKeepProportions()
{
    const int base[] = {550, 1000, 800, 640, 400, 800, 640, 400, 800, 640,
                        400, 800,  640, 400, 800, 640, 400, 800, 640, 400};
    for (int column = 0; column < 20; ++column)
        QCOMPARE(GridStyle::baseWidth(column), base[column]);
    QCOMPARE(GridStyle::baseWidth(20), 0);
    QCOMPARE(GridStyle::baseWidth(-1), 0);

    QCOMPARE(GridStyle::widthRatio(6450), 1.0);
    const double ratio = GridStyle::widthRatio(12900);
    QCOMPARE(ratio, 2.0);
    QCOMPARE(GridStyle::columnWidth(1, ratio), 2000.0);
    QCOMPARE(GridStyle::heightRatio(3330), 1.0);
}

QTEST_APPLESS_MAIN(TestLayout)
#include "tst_layout.moc"

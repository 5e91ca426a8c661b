// The frame's layout rule as pure functions on twips: snapping, tile sizes and pixel edges.
#include <QtTest>

#include "core/layout/LayoutRule.h"

using LayoutRule::WindowState;
Q_DECLARE_METATYPE(WindowState)

class TestLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void frameStep_data()
    {
        QTest::addColumn<WindowState>("state");
        QTest::addColumn<WindowState>("previous");
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<QSizeF>("normal");   // the normal size on this screen
        QTest::addColumn<QSizeF>("expected"); // invalid: no layout at all
        using S = WindowState;
        const QSizeF ref(12000, 8800), large(14000, 9000), big(28800, 16200), small(9000, 6600);
        QTest::newRow("minimised: nothing")
            << S::Minimized << S::Normal << QSizeF(3000, 500) << ref << QSizeF();
        QTest::newRow("enlargement undone") << S::Normal << S::Normal << QSizeF(15000, 9900) << ref << ref;
        QTest::newRow("shrinking undone") << S::Normal << S::Normal << QSizeF(9000, 6000) << ref << ref;
        QTest::newRow("restored small: enlarged")
            << S::Normal << S::Maximized << QSizeF(9000, 9500) << ref << QSizeF(12000, 9500);
        QTest::newRow("restored large: kept") << S::Normal << S::Maximized << large << ref << large;
        QTest::newRow("maximised: kept") << S::Maximized << S::Maximized << big << ref << big;
        QTest::newRow("just maximised: kept") << S::Maximized << S::Normal << big << ref << big;
        QTest::newRow("small screen: its own normal size") << S::Normal << S::Normal << ref << small << small;
    }
    void frameStep()
    {
        QFETCH(WindowState, state);
        QFETCH(WindowState, previous);
        QFETCH(QSizeF, frame);
        QFETCH(QSizeF, normal);
        QFETCH(QSizeF, expected);
        const LayoutRule::FrameStep step = LayoutRule::frameStep(state, previous, frame, normal);
        QCOMPARE(step.layOut, expected.isValid());
        QCOMPARE(step.resizeFrame, expected.isValid() && expected != frame);
        if (step.layOut) QCOMPARE(step.frameSize, expected);
    }
    // A frame larger than the screen (a scale factor of 2 on a 1000-pixel screen) shrinks to fit,
    // keeping its proportions.
    void normalSizeFitsTheScreen_data()
    {
        QTest::addColumn<QSizeF>("available");
        QTest::addColumn<QSizeF>("normal");
        QTest::newRow("large screen") << QSizeF(28800, 16200) << QSizeF(12000, 8800);
        QTest::newRow("exactly the reference") << QSizeF(12000, 8800) << QSizeF(12000, 8800);
        QTest::newRow("scale factor 2 on 1920 x 1000 pixels")
            << QSizeF(14400, 7500) << QSizeF(12000.0 * 7500 / 8800, 7500);
        QTest::newRow("narrow screen") << QSizeF(6000, 9000) << QSizeF(6000, 4400);
        QTest::newRow("no screen known") << QSizeF() << QSizeF(12000, 8800);
    }
    void normalSizeFitsTheScreen()
    {
        QFETCH(QSizeF, available);
        QTEST(LayoutRule::normalFrameSize(available), "normal");
    }
    void tiles_data()
    {
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<bool>("power");
        for (const bool power : {true, false}) {
            QTest::addRow("reference, power %d", power) << QSizeF(12000, 8800) << power;
            QTest::addRow("maximised, power %d", power) << QSizeF(28800, 16200) << power;
        }
    }
    void tiles()
    {
        QFETCH(QSizeF, frame);
        QFETCH(bool, power);
        const LayoutRule::Scale scale = LayoutRule::scaleOf(frame);
        const double inner = frame.height() - 900;
        const LayoutRule::Tiles tiles = LayoutRule::tiles(scale, inner, power);
        // The reference layout in twips: widths scale with the frame's width, heights with its height.
        const auto scaled = [&scale](double x, double y, double w, double h) {
            return QRectF(x * scale.sx, y * scale.sy, w * scale.sx, h * scale.sy);
        };
        QCOMPARE(tiles.monitor, scaled(0, 0, 5250, 3990));
        QCOMPARE(tiles.table, scaled(5250, 0, 6570, power ? 2370 : 3990));
        QCOMPARE(tiles.power, scaled(5250, 2370, 6570, 1620)); // the height the table gives up
        QCOMPARE(tiles.graph, scaled(0, 3990, 11820, 0).adjusted(0, 0, 0, inner - 3990.0 * scale.sy));
    }
    void shortAreasGiveNoNegativeHeights()
    {
        QCOMPARE(LayoutRule::graphTile(LayoutRule::scaleOf({12000, 8800}), 2000).height(), 0.0);
        // The table resized by hand: shortened by the power window's actual height while it is shown.
        const LayoutRule::Scale scale = LayoutRule::scaleOf({24000, 17600});
        QCOMPARE(LayoutRule::derivedTablePlacement(scale, false, 3240), QRectF(10500, 0, 13140, 7980));
        QCOMPARE(LayoutRule::derivedTablePlacement(scale, true, 3240), QRectF(10500, 0, 13140, 7980 - 3240));
        QCOMPARE(LayoutRule::derivedTablePlacement(scale, true, 9000).height(), 0.0);
    }
    void neighbouringTilesMeetInPixels()
    {
        // At 96 dpi 5250 twips are 350 px; at 120 dpi tile edges fall between pixels.
        for (const double dpi : {96.0, 120.0, 144.0}) {
            const LayoutRule::Tiles tiles = LayoutRule::tiles(LayoutRule::scaleOf({13337, 9001}), 8000, true);
            const auto px = [dpi](const QRectF &twips) { return LayoutRule::toPixels(twips, dpi, dpi); };
            QCOMPARE(px(tiles.table).left(), px(tiles.monitor).right() + 1);
            QCOMPARE(px(tiles.power).top(), px(tiles.table).bottom() + 1);
            QCOMPARE(px(tiles.graph).top(), px(tiles.monitor).bottom() + 1);
        }
        QCOMPARE(LayoutRule::toPixels({0, 0, 12000, 8800}, 96, 96), QRect(0, 0, 800, 587));
        QCOMPARE(LayoutRule::pixelsToTwips(10, 0), 0.0); // no resolution yet: no division by zero
    }
};

QTEST_APPLESS_MAIN(TestLayout)
#include "tst_layout.moc"

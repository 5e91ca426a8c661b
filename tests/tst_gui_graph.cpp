// The session's graph in its window: following the record, the page box and its buttons, the
// page's extremes on the monitor, redraws, options and Open, the print and image commands and
// the unattended graph outputs, in the program and in a child run of it.
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProcess>
#include <QToolButton>
#include <QtTest>
#include <optional>

#include "core/commands/OptionsProcedures.h"
#include "core/common/AppPaths.h"
#include "core/followers/GraphFollower.h"
#include "core/followers/GraphLanes.h"
#include "core/followers/RecordOutputs.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"
#include "core/recordfiles/OpenRecord.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/RecordingControl.h"
#include "core/settings/UserSettings.h"
#include "support/ModalDialog.h"
#include "support/PdfText.h"
#include "support/PtyReceiver.h"
#include "support/RecordingSession.h"
#include "ui/graph/FmGraph.h"
#include "ui/printing/PrintFeature.h"
#include "ui/shell/MainFm.h"

using namespace Qt::StringLiterals;

namespace
{

const QColor Trace(255, 0, 0);
const QColor Green(0, 255, 0);

QByteArray volts(int tenths)
{
    FrameEncoder::Header header;
    header.decimalCode = FrameEncoder::Divisor10;
    return FrameEncoder::encodeReading(header, tenths);
}

int pixelsOf(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == color;
    return count;
}

QStringList fileLines(const QString &pdf) // the "File Name ... Page" line of every page
{
    QStringList lines;
    for (const PdfPage &page : readPdfWords(pdf))
        lines << page.lineOf(u"File"_s).join(u' ');
    return lines;
}

class NoSvg final : public SvgGraphWriter
{
public:
    QString writeSvg(const QString &, const QSize &, const DrawGraphPage &) override { return {}; }
};

} // namespace

class TestGuiGraph : public QObject
{
    Q_OBJECT
    QTemporaryDir m_assets;
    QTemporaryDir m_dir;
    std::optional<RecordingSession> m_rig;
    std::optional<MainFm> m_frame;

    FmGraph *graphWindow() const { return m_frame->graphWindow(); }
    GraphPage &page() { return m_rig->session.graph().page(); }
    void trigger(const char *item) { m_frame->menuItem(QLatin1String(item))->trigger(); }
    void record(int samples)
    {
        m_rig->start();
        for (int i = 1; i <= samples; ++i)
            m_rig->feed(volts(10 * i));
    }
    void stop() { m_rig->session.recording().stop(); }
    void openFrame()
    {
        m_frame.reset(); // the windows go before the session they show
        m_rig.emplace();
        m_frame.emplace(m_rig->session);
        m_frame->show();
    }

private Q_SLOTS:
    void initTestCase() { AppPaths::setAssetFolderOverride(m_assets.path()); }
    void init()
    {
        openFrame();
        QVERIFY(QTest::qWaitForWindowExposed(&*m_frame));
    }
    void cleanupTestCase() { m_frame.reset(), AppPaths::setAssetFolderOverride(QString()); }

    void windowShowsTheTrace()
    {
        // As the program does: Start before the frame has been laid out on the screen.
        openFrame();
        m_rig->start();
        QCoreApplication::processEvents();
        QVERIFY(graphWindow()->height() > m_frame->subWindowOf(graphWindow())->height() / 2);
        QCOMPARE(page().surface().size(), graphWindow()->picture()->size());
        for (int i = 1; i <= 5; ++i) // 1.0 V .. 5.0 V
            m_rig->feed(volts(10 * i));
        m_frame->layOutNow();
        QCoreApplication::processEvents();
        QCOMPARE(page().surface().size(), graphWindow()->picture()->size());
        QCOMPARE(graphWindow()->pageBox()->text(), u"1"_s);
        QVERIFY(graphWindow()->previousButton()->isVisible() && graphWindow()->nextButton()->isVisible());
        QCOMPARE(graphWindow()->pageBox()->height(), graphWindow()->nextButton()->height());
        // The window shows the page's surface as drawn, trace included.
        const QImage shown = graphWindow()->picture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, page().surface());
        QVERIFY(pixelsOf(shown, Trace) > 5 * 9); // dots and the lines between them
    }
    void pageButtonsAndBox()
    {
        record(60); // 25 samples a page: pages 1, 2 and the one being filled, 3
        // While recording the monitor keeps the record's own extremes, not the page's.
        QCOMPARE(m_rig->session.monitor().minimum.value, u"1.0"_s);
        stop();
        QCOMPARE(graphWindow()->pageBox()->text(), u"3"_s);
        QTest::mouseClick(graphWindow()->nextButton(), Qt::LeftButton);
        QCOMPARE(graphWindow()->pageBox()->text(), u"3"_s);
        QTest::mouseClick(graphWindow()->previousButton(), Qt::LeftButton);
        QCOMPARE(graphWindow()->pageBox()->text(), u"2"_s);
        QCOMPARE(page().page(), 2);
        // Stopped, the monitor shows the page's extremes, at their times.
        const MonitorFields &monitor = m_rig->session.monitor();
        const RecordStore &table = m_rig->session.record();
        QCOMPARE(QStringList({monitor.maximum.value, monitor.minimum.value, monitor.maximum.unit}),
                 QStringList({"50.0", "26.0", "V"}));
        QCOMPARE(monitor.maximum.time, table.cell(50, RecordStore::timeColumn(0)));
        QCOMPARE(monitor.minimum.time, table.cell(26, RecordStore::timeColumn(0)));
        // Zoomed out they follow the rows shown, here the whole record; zoomed in, the page again.
        m_rig->session.lanes().zoomOut();
        QCOMPARE(QStringList({monitor.maximum.value, monitor.minimum.value}), QStringList({"60.0", "1.0"}));
        m_rig->session.lanes().zoomIn();
        QCOMPARE(QStringList({monitor.maximum.value, monitor.minimum.value}), QStringList({"50.0", "26.0"}));
        QLineEdit *box = graphWindow()->pageBox();
        box->selectAll();
        QTest::keyClicks(box, u"a9-x"_s); // only the digit gets in; 9 is past the last page
        QCOMPARE(box->text(), u"3"_s);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), u"1"_s);
        QCOMPARE(box->maxLength(), 3);
        QCOMPARE(box->contextMenuPolicy(), Qt::NoContextMenu);

        // 50 samples a page: the last page of 60 samples is page 2.
        UserSettings &settings = m_rig->session.userSettings();
        Settings edited = settings.values();
        edited.YScale = 1;
        settings.saveSetup(edited);
        QCOMPARE(page().view().timeScale, 0.5f);
        QCOMPARE(box->text(), u"2"_s);
    }
    void redrawKeepsTheTrace_data()
    {
        QTest::addColumn<bool>("recording");
        QTest::addColumn<QString>("action");
        for (const bool recording : {true, false}) {
            const char *state = recording ? "recording: " : "stopped: ";
            QTest::addRow("%soptions OK", state) << recording << u"options"_s;
            QTest::addRow("%smain channel chosen", state) << recording << u"choice"_s;
        }
        QTest::newRow("new channel") << true << u"channel"_s;
    }
    void redrawKeepsTheTrace()
    {
        QFETCH(bool, recording);
        QFETCH(QString, action);
        record(10);
        if (!recording) stop();
        Session &session = m_rig->session;
        if (action == u"options") {
            OptionsOkPlan plan;
            plan.values = OptionValues::fromSettings(session.settings());
            plan.redrawGraph = true;
            OptionsProcedures(session.userSettings(), session.graphHooks()).ok(plan);
        } else if (action == u"choice") {
            session.channelSelector().select(0);
        } else {
            FrameEncoder::Header second;
            second.channel = 1;
            m_rig->feed(FrameEncoder::encodeReading(second, 3));
        }
        QVERIFY(pixelsOf(page().surface(), Trace) > 0);
    }
    // Options OK with a graph change, and Open, draw the page with its trace.
    void traceAfterOptionsOkAndOpen()
    {
        record(30);
        stop();
        Session &session = m_rig->session;
        OptionsOkPlan plan;
        plan.values = OptionValues::fromSettings(session.settings());
        plan.values.Graph_T1ColorCk = true;
        plan.values.Graph_T1BackColor = 0x00FF00; // green, stored blue-green-red
        plan.redrawGraph = true;
        OptionsProcedures(session.userSettings(), session.graphHooks()).ok(plan);
        QVERIFY(pixelsOf(graphWindow()->picture()->grab().toImage(), Green) > 0);
        QString path = m_dir.filePath(u"rec.xlsx"_s), error;
        QVERIFY2(session.workbookSaver().saveAs(&path, &error), qPrintable(error));
        QVERIFY(session.openRecord().open(path));
        QCoreApplication::processEvents();
        QCOMPARE(graphWindow()->pageBox()->text(), u"1"_s);
        QVERIFY(pixelsOf(graphWindow()->picture()->grab().toImage(), Green) > 0);
        // The scale, its labels and the unit come from the record.
        QCOMPARE(session.monitor().bigValue, u"30.0"_s);
        QCOMPARE(page().view().channel.unitDisplay, u"V"_s);
        QCOMPARE(page().scale()->top, 25.0); // page 1 holds 1.0 .. 25.0
    }
    // Printed through the dialog and written unattended alike.
    void printsAndImage()
    {
        record(60);
        stop();
        QtCurrentPrinter &printer = m_frame->printFeature()->printer();
        const auto print = [&](const char *item, const QString &name) {
            printer.printer().setOutputFileName(m_dir.filePath(name));
            whenDialogOpens([](QDialog *dialog) { dialog->accept(); });
            trigger(item);
            return m_dir.filePath(name);
        };
        Session &s = m_rig->session;
        const RecordOutputs out({s.record(), s.monitor(), s.userSettings(), s.windows(), page()});
        const QString table = m_dir.filePath(u"table.pdf"_s), graph = m_dir.filePath(u"graph.pdf"_s);
        QCOMPARE(out.printDataTo(table), QString());
        QCOMPARE(out.printGraphTo(graph), QString());
        const QString file = u"File Name : "_s + s.monitor().file + u" Page : "_s;
        for (const QString &pdf : {print("mnpritab", u"t.pdf"_s), table})
            QCOMPARE(fileLines(pdf), QStringList({file + u"1"_s, file + u"2"_s}));
        for (const QString &pdf : {print("pop_PrintGraph", u"g.pdf"_s), graph}) {
            QCOMPARE(fileLines(pdf), QStringList(file + u"3"_s));
            QVERIFY(readPdfWords(pdf)[0].find(u"(V)"_s));
        }
        QVERIFY(m_rig->prompts.calls().isEmpty());
        const QString image = m_dir.filePath(u"graph.png"_s);
        NoSvg svg;
        QCOMPARE(out.saveGraphTo(image, svg), QString());
        QCOMPARE(QImage(image).convertToFormat(QImage::Format_RGB32), page().surface());
    }
    // Both commands save the window's picture; the messages are tst_printing's saveGraph.
    void saveGraph()
    {
        trigger("mnsaveBmp"); // no record yet
        QCOMPARE(m_rig->prompts.lastCall().text, u"Not any graph!"_s);
        record(10);
        stop();
        for (const char *item : {"mnsaveBmp", "pop_SaveGraph"}) {
            const QString saved = m_dir.filePath(QLatin1String(item) + u".png"_s);
            m_rig->prompts.queueFileName(saved);
            trigger(item);
            const QImage image(saved);
            QCOMPARE(image.size(), graphWindow()->picture()->size());
            QVERIFY(pixelsOf(image, Trace) > 0);
        }

        // Clear Record blanks the graph.
        m_rig->prompts.queueAnswer(Prompts::Answer::No); // not saved: do not save
        m_rig->session.recording().clearCommand();
        QCOMPARE(page().pageText(), u"0"_s);
        QCOMPARE(pixelsOf(page().surface(), Trace), 0);
    }
    // The outputs of a recording run, and of a run that opens the record it wrote.
    void commandLineWritesPrintsAndImage()
    {
        QTemporaryDir home;
        const QString app = isolatedProgram(QDir(home.path()));
        if (app.isEmpty() || ExternalReceiver::program().isEmpty())
            QSKIP("VOLTRIX_APP or VOLTRIX_SIM is not set");
        ExternalReceiver receiver;
        QVERIFY2(
            receiver.start({u"--meter"_s, u"ch=0,fn=DCV,dp=10,pattern=constant,value=12.5,interval=2s"_s,
                            u"--meter"_s, u"ch=2,fn=DCA,dp=100,pattern=constant,value=1.25,interval=2s"_s,
                            u"--time-factor"_s, u"4"_s}),
            qPrintable(receiver.errorString()));
        // The main channel is the first meter heard, whichever that is; the opened record keeps it.
        QString unit;
        const auto run = [&](const QStringList &first, const QString &tag) {
            QProcess program;
            program.setProcessEnvironment(isolatedEnvironment(QDir(home.path())));
            program.start(app,
                          first + QStringList{u"--print-graph"_s, home.filePath(tag + ".pdf"),
                                              u"--save-graph"_s, home.filePath(tag + ".png"), u"--quit"_s});
            QVERIFY(program.waitForFinished(30000));
            QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
            const QList<PdfPage> graphPages = readPdfWords(home.filePath(tag + ".pdf"));
            QCOMPARE(graphPages.size(), 1);
            QCOMPARE(graphPages[0].lineOf(u"Page"_s).mid(4), QStringList({"Page", ":", "1"}));
            if (unit.isEmpty()) unit = graphPages[0].find(u"(V)"_s) ? u"(V)"_s : u"(A)"_s;
            QVERIFY2(graphPages[0].find(unit), qPrintable(unit));
            const QImage saved(home.filePath(tag + ".png"));
            QVERIFY(saved.width() > 400 && saved.height() > 100);
            QVERIFY(pixelsOf(saved, Trace) > 0);
        };
        const QString data = home.filePath(u"a.pdf"_s);
        const QString workbook = home.filePath(u"rec.xlsx"_s);
        run({u"--ports"_s, receiver.devicePath(), u"--record"_s, u"--duration"_s, u"3"_s, u"--print-data"_s,
             data, u"--output"_s, workbook},
            u"recorded"_s);
        if (QTest::currentTestFailed()) return;
        const QList<PdfPage> tablePages = readPdfWords(data);
        QCOMPARE(tablePages.size(), 1);
        QVERIFY(tablePages[0].find(u"12.5"_s));
        run({u"--open"_s, workbook}, u"opened"_s);
        if (QTest::currentTestFailed()) return;

        // The lanes on paper and in SVG hold one label per channel of the record.
        QProcess lanes;
        lanes.setProcessEnvironment(isolatedEnvironment(QDir(home.path())));
        lanes.start(app, {u"--open"_s, workbook, u"--graph-view"_s, u"all"_s, u"--save-graph"_s,
                          home.filePath(u"lanes.svg"_s), u"--print-graph"_s, home.filePath(u"lanes.pdf"_s),
                          u"--quit"_s});
        QVERIFY(lanes.waitForFinished(30000));
        QVERIFY2(lanes.exitCode() == 0, lanes.readAllStandardError().constData());
        QFile svg(home.filePath(u"lanes.svg"_s));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QString svgText = QString::fromUtf8(svg.readAll());
        const QList<PdfPage> pdf = readPdfWords(home.filePath(u"lanes.pdf"_s));
        QCOMPARE(pdf.size(), 1);
        const QString pdfText = pdf[0].texts().join(u' ');
        for (const QString &label : {u"Ch1 DCV V"_s, u"Ch3 DCA A"_s}) {
            QVERIFY2(svgText.contains(label), qPrintable(label));
            QVERIFY2(pdfText.contains(label), qPrintable(pdfText));
        }
    }
};

QTEST_MAIN(TestGuiGraph)
#include "tst_gui_graph.moc"

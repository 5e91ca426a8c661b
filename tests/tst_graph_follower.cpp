// The session's graph: following the record as it is recorded, the page's extremes on the
// monitor while stopped, options and setup, clearing, and the unattended print and image outputs.
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "core/graph/PageExtremes.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/settings/UserSettings.h"
#include "core/views/GraphFollower.h"
#include "core/views/OptionsProcedures.h"
#include "core/views/RecordOutputs.h"
#include "support/PdfText.h"
#include "support/RecordingSession.h"

using namespace Qt::StringLiterals;

namespace
{

const QColor Trace(255, 0, 0); // Graph_T1BackColor 255

// A DCV reading of channel 1 in tenths of a volt.
QByteArray volts(int tenths)
{
    FrameEncoder::Header header;
    header.decimalCode = FrameEncoder::Divisor10;
    return FrameEncoder::encodeReading(header, tenths);
}

int tracePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == Trace;
    return count;
}

class NoSvg final : public SvgGraphWriter
{
public:
    QString writeSvg(const QString &, const QSize &, const DrawGraphPage &) override { return {}; }
};

} // namespace

class TestGraphFollower : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_rig.emplace();
        m_rig->prompts.setStrict(true);
        GraphGeometry geometry;
        geometry.pixels = QSize(1080, 254);
        graph().page().setGeometry(geometry);
    }
    void shownPageSetsTheMonitorExtremesWhenStopped()
    {
        record(30);
        graph().setPageBox(u"1"_s);
        QCOMPARE(graph().page().pageText(), u"1"_s);
        QCOMPARE(monitor().stats[1], u"2.5"_s);
        QCOMPARE(monitor().stats[2], u"0.1"_s);
        QCOMPARE(monitor().stats[4], u"V"_s);
        const RecordStore &table = m_rig->session.record();
        QCOMPARE(monitor().statTimes[1], table.cell(25, RecordStore::timeColumn(0)));
        QCOMPARE(monitor().statTimes[2], table.cell(1, RecordStore::timeColumn(0)));

        graph().page().nextPage();
        QCOMPARE(graph().page().pageText(), u"2"_s);
        QCOMPARE(monitor().stats[2], u"2.6"_s);
        QCOMPARE(graph().mainChannel().sampleCount(), 30);
        QCOMPARE(monitor().stats[1], u"3.0"_s);
    }
    void pageExtremes_data()
    {
        QTest::addColumn<QStringList>("values"); // "value unit" per row
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<QString>("minimum");
        QTest::newRow("prefixes compare on one scale")
            << QStringList{"900 mV", "1.2 V", "5 mV"} << u"1.2 V"_s << u"5 mV"_s;
        QTest::newRow("overload is the range's top")
            << QStringList{"3.5 V", "+OL V", "-1.0 V"} << u"+OL V"_s << u"-1.0 V"_s;
        QTest::newRow("negative overload the bottom")
            << QStringList{"-OL V", "3.5 V"} << u"3.5 V"_s << u"-OL V"_s;
        QTest::newRow("earliest of equals, gaps skipped")
            << QStringList{"2.0 V", " V", "2.0 V", "1.0 V", "1.0 V"} << u"2.0 V"_s << u"1.0 V"_s;
    }
    void pageExtremes()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, maximum);
        QFETCH(QString, minimum);
        GraphSampleList record;
        for (int row = 0; row < values.size(); ++row) {
            const QStringList parts = values.at(row).split(QLatin1Char(' '));
            record.samples.append({parts.at(0), parts.at(1), u"10:00:%1"_s.arg(row, 2, 10, QChar('0'))});
        }
        const std::optional<PageExtremes> found = GraphPageExtremes::of(record, 1, 1.0f, {40.0, -40.0, 3});
        QVERIFY(found.has_value());
        QCOMPARE(found->maximum.value + ' ' + found->maximum.unit, maximum);
        QCOMPARE(found->minimum.value + ' ' + found->minimum.unit, minimum);
        const int firstMaximum = values.indexOf(maximum);
        QCOMPARE(found->maximum.time, u"10:00:%1"_s.arg(firstMaximum, 2, 10, QChar('0')));

        // A page without samples leaves the monitor alone.
        QVERIFY(!GraphPageExtremes::of(record, 2, 1.0f, {}).has_value());
    }
    void clearRecordBlanksTheGraph()
    {
        record(10);
        QVERIFY(tracePixels(graph().page().surface()) > 0);
        m_rig->prompts.queueAnswer(Prompts::Answer::No); // not saved: do not save
        m_rig->session.recording().clearCommand();
        QCOMPARE(graph().page().pageText(), u"0"_s);
        QCOMPARE(tracePixels(graph().page().surface()), 0);
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
        m_rig->start();
        for (int i = 1; i <= 10; ++i)
            m_rig->feed(volts(i));
        if (!recording) m_rig->session.recording().stop();
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
        QCOMPARE(tracePixels(graph().page().surface()) > 0, true);
    }
    void timeScaleFollows()
    {
        record(60);
        // 50 samples a page: the last page of 60 samples is page 2 (the graph window is shown).
        UserSettings &settings = m_rig->session.userSettings();
        Settings edited = settings.values();
        edited.YScale = 1;
        settings.saveSetup(edited);
        QCOMPARE(graph().page().view().timeScale, 0.5f);
        QCOMPARE(graph().page().pageText(), u"2"_s);
    }
    void unattendedOutputs()
    {
        record(30);
        const RecordOutputs out = outputs();
        const QString table = m_dir.filePath(u"table.pdf"_s);
        const QString graphPdf = m_dir.filePath(u"graph.pdf"_s);
        const QString image = m_dir.filePath(u"graph.png"_s);
        QCOMPARE(out.printDataTo(table), QString());
        QCOMPARE(out.printGraphTo(graphPdf), QString());
        NoSvg svg;
        QCOMPARE(out.saveGraphTo(image, svg), QString());

        const QString file = monitor().file;
        const QList<PdfPage> tablePages = readPdfWords(table);
        QCOMPARE(tablePages.size(), 1);
        QCOMPARE(tablePages[0].lineOf(u"File"_s), QStringList({"File", "Name", ":", file, "Page", ":", "1"}));
        const QList<PdfPage> graphPages = readPdfWords(graphPdf);
        QCOMPARE(graphPages.size(), 1);
        QCOMPARE(graphPages[0].lineOf(u"File"_s),
                 QStringList({"File", "Name", ":", file, "Page", ":", graph().page().pageText()}));
        QVERIFY(graphPages[0].find(u"(V)"_s));

        const QImage saved(image);
        QCOMPARE(saved.size(), graph().page().surface().size());
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), graph().page().surface());
    }
    void outputNamesChecked_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<bool>("image");
        QTest::newRow("pdf") << u"out/a.PDF"_s << true << false;
        for (const char *image : {"b.png", "b.jpg", "b.svg", "b.bmp"})
            QTest::newRow(image) << image << false << true;
        QTest::newRow("none") << u"b"_s << false << false;
    }
    void outputNamesChecked()
    {
        QFETCH(QString, path);
        QFETCH(bool, pdf);
        const QString refusal = RecordOutputs::checkPdfPath(u"--print-data"_s, path);
        QCOMPARE(refusal, pdf ? QString() : u"--print-data takes a file name ending in .pdf"_s);
        QTEST(RecordOutputs::checkImagePath(u"--save-graph"_s, path).isEmpty(), "image");
    }
    void cleanup() { m_rig.reset(); }

private:
    void record(int samples); // 0.1 V, 0.2 V, ... on channel 1, then Stop
    GraphFollower &graph() { return m_rig->session.graph(); }
    MonitorFields &monitor() { return m_rig->session.monitor(); }
    RecordOutputs outputs()
    {
        Session &s = m_rig->session;
        return RecordOutputs({s.record(), s.monitor(), s.userSettings(), s.windows(), graph().page()});
    }
    std::optional<RecordingSession> m_rig;
    QTemporaryDir m_dir;
};

void TestGraphFollower::record(int samples)
{
    m_rig->start();
    for (int i = 1; i <= samples; ++i)
        m_rig->feed(volts(i));
    m_rig->session.recording().stop();
}

QTEST_MAIN(TestGraphFollower)
#include "tst_graph_follower.moc"

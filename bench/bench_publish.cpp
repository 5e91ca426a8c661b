// What publishing live readings costs on the reading path: the samples of a full six-channel
// record go through the sample recorder, which hands each to the publisher; the time spent in
// the publisher's step is measured per sample with no output, with a publisher connected to a
// local Mosquitto broker, with its broker gone (the newest message per topic kept), and with the
// stream on whose reader is stalled (a full pipe nobody reads). Then how many messages a second
// the publisher sustains to a subscriber of the same broker.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <numeric>
#include <unistd.h>
#include <vector>

#include "core/publish/MqttPublisher.h"
#include "core/publish/ReadingPublisher.h"
#include "core/publish/StreamWriter.h"
#include "support/MosquittoBroker.h"
#include "support/RecorderRig.h"
#include "TimedStep.h"

namespace
{

void recordOnce(const char *what, SampleOutput *output)
{
    RecorderRig rig;
    ReadingPublisher publisher(rig.record, rig.clock, rig.state);
    if (output) publisher.addOutput(output);
    TimedStep<ReadingPublisher> step(publisher);
    rig.recorder.setJournal(&step);
    for (int row = 1; rig.restartsAsked() == 0; ++row) {
        rig.clock.advance(1000);
        for (int channel = 0; channel < 6 && rig.restartsAsked() == 0; ++channel)
            rig.feed(benchFrame(channel, row));
        if (row % 500 == 0) QCoreApplication::processEvents();
    }
    std::vector<qint64> &ns = step.ns;
    const double mean = double(std::accumulate(ns.begin(), ns.end(), qint64(0))) / double(ns.size());
    std::sort(ns.begin(), ns.end());
    std::printf("%-32s %6zu samples  mean %5.2f us  median %5.2f us  p99 %5.2f us  p99.9 %6.2f us\n", what,
                ns.size(), mean / 1000, double(ns[ns.size() / 2]) / 1000,
                double(ns[ns.size() * 99 / 100]) / 1000, double(ns[ns.size() * 999 / 1000]) / 1000);
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return done();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    MosquittoBroker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "cannot start mosquitto: %s\n", qPrintable(broker.errorString()));
        return 1;
    }
    PublishOptions options;
    options.url = broker.url();
    options.prefix = QStringLiteral("bench");
    MqttPublisher mqtt;
    QString error;
    if (!mqtt.start(options, &error) ||
        !waitFor([&] { return mqtt.client().state() == MqttClient::State::Connected; }, 10000)) {
        std::fprintf(stderr, "the publisher did not connect: %s\n", qPrintable(error));
        return 1;
    }

    std::printf("Cost per recorded sample of the publisher's step on the reading path:\n");
    recordOnce("no output", nullptr);
    recordOnce("publisher connected (QoS 0)", &mqtt);
    broker.stop();
    waitFor([&] { return mqtt.client().state() == MqttClient::State::Failed; }, 10000);
    recordOnce("publisher, broker gone", &mqtt);
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) == 0) {
        ::fcntl(pipeEnds[1], F_SETPIPE_SZ, 4096);
        qint64 dropped = 0;
        {
            StreamWriter stream(StreamWriter::Format::Jsonl, pipeEnds[1], [&dropped](const QString &message) {
                dropped = message.section(u':', 2).section(u' ', 1, 1).toLongLong();
            });
            recordOnce("stream, its reader stalled", &stream);
        }
        std::printf("%-32s %6lld lines dropped\n", "", static_cast<long long>(dropped));
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
    }
    broker.start();
    waitFor([&] { return mqtt.client().state() == MqttClient::State::Connected; }, 40000);

    // Sustained rate: a burst of samples, counted as the subscriber receives them.
    MqttProbe probe;
    if (!probe.subscribe(broker.port(), "bench/ch1")) return 1;
    constexpr int Messages = 100000;
    PublishedSample sample;
    sample.channel = 1;
    sample.row = 1;
    sample.time = QStringLiteral("2026-12-07T12:07:21+01:00");
    sample.text = QStringLiteral("12.34");
    sample.textUnit = QStringLiteral("mV");
    sample.function = QStringLiteral("DCV");
    SampleFormat::setBaseValue(sample);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Messages; ++i)
        mqtt.sampleRecorded(sample);
    const double queuedS = double(timer.nsecsElapsed()) / 1e9;
    waitFor([&] { return probe.messages().size() >= Messages; }, 60000);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const auto received = probe.messages().size();
    std::printf("Sustained: %d messages queued in %.3f s; %lld received in %.3f s: %.0f messages/s\n",
                Messages, queuedS, static_cast<long long>(received), seconds, double(received) / seconds);
    mqtt.stop();
    return 0;
}

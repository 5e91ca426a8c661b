// What the energy of every current channel costs on the reading path: the samples of a full
// six-channel record (three currents, one taking a voltage channel's readings) go through the
// sample recorder, which hands each to the energy follower; its step (the record's and the
// run's energy) is timed per sample.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "TimedStep.h"
#include "core/followers/EnergyFollower.h"
#include "core/link/FrameEncoder.h"
#include "core/measurement/MeasurementTables.h"
#include "core/settings/UserSettings.h"
#include "support/RecorderRig.h"

namespace
{

QByteArray frame(int channel, int row)
{
    using M = Measurement::Function;
    static constexpr int functions[6] = {M::DCV, M::ACV, M::DCA, M::ACA, M::DCA, M::OHM};
    FrameEncoder::Header header;
    header.channel = channel;
    header.functionCode = functions[channel];
    header.decimalCode = FrameEncoder::Divisor10;
    return FrameEncoder::encodeReading(header, (row * 37 + channel * 1000) % 10000);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    RecorderRig rig;
    rig.store.save(QStringLiteral("Energy_pair3"), QStringLiteral("1"));
    UserSettings settings(rig.store);
    settings.loadSetup(false);
    EnergyFollower energy({rig.record, rig.state, settings});
    TimedStep<EnergyFollower> step(energy);
    rig.recorder.setJournal(&step);
    for (int row = 1; rig.restartsAsked() == 0; ++row) {
        rig.clock.advance(2000);
        for (int channel = 0; channel < 6 && rig.restartsAsked() == 0; ++channel)
            rig.feed(frame(channel, row));
    }
    std::vector<qint64> &ns = step.ns;
    const double mean = double(std::accumulate(ns.begin(), ns.end(), qint64(0))) / double(ns.size());
    std::sort(ns.begin(), ns.end());
    std::printf("energy step: %zu samples  mean %.3f us  median %.3f us  p99 %.3f us  (goal: under 1 us)\n",
                ns.size(), mean / 1000, double(ns[ns.size() / 2]) / 1000,
                double(ns[ns.size() * 99 / 100]) / 1000);
    const ChannelEnergy total = energy.run().total();
    std::printf("run: %.6f kWh over %.0f s, %d samples without voltage\n", total.kilowattHours, total.seconds,
                total.noVoltage);
    return 0;
}

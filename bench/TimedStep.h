#pragma once
#include <QElapsedTimer>
#include <vector>

#include "core/recording/SampleJournal.h"

// Times one follower's step of every sample the recorder hands on, in nanoseconds.
template <typename Follower>
struct TimedStep final : SampleJournal {
    Follower &follower;
    std::vector<qint64> ns;
    explicit TimedStep(Follower &f) : follower(f) {}
    void sampleRecorded(int channel, int row, int divisor) override
    {
        QElapsedTimer timer;
        timer.start();
        follower.sampleRecorded(channel, row, divisor);
        ns.push_back(timer.nsecsElapsed());
    }
};

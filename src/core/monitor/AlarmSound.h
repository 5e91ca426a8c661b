#pragma once

// One alarm sound: the chime "ding.wav" from the program's assets, played without waiting,
// or a 2200 Hz, 125 ms tone when the chime cannot be played.
class AlarmSound
{
public:
    virtual ~AlarmSound() = default;
    virtual void play() = 0;
};

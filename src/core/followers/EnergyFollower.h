#pragma once
#include <QObject>

#include "core/energy/EnergyMeter.h"
#include "core/recording/SampleJournal.h"

struct AcquisitionState;
class RecordStore;
class UserSettings;

// The energy of the record in the table and of the run since Start, kept up sample by sample
// from what the record holds, with each meter's announced interval. A new record restarts the
// record's energy, Start (not Resume) the run's; new rates from Setup count from then on.
class EnergyFollower : public QObject, public SampleJournal
{
    Q_OBJECT
public:
    struct Collaborators {
        const RecordStore &record;
        const AcquisitionState &state;
        const UserSettings &settings;
    };
    explicit EnergyFollower(const Collaborators &collaborators, QObject *parent = nullptr);

    void sampleRecorded(int channel, int row, int divisor) override;
    void recordStarted();
    void runStarted();
    // The record in the table was replaced as a whole (a workbook opened, a journal recovered).
    void recordReplaced();

    const EnergyMeter &record() const { return m_record; }
    const EnergyMeter &run() const { return m_run; }

Q_SIGNALS:
    void changed();

private:
    void takeRates();

    Collaborators m_;
    EnergyMeter m_record;
    EnergyMeter m_run;
};

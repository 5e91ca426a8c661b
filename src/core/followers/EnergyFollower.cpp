#include "core/followers/EnergyFollower.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/measurement/MeasurementTables.h"
#include "core/record/RecordStore.h"
#include "core/settings/UserSettings.h"

EnergyFollower::EnergyFollower(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators)
{
    takeRates();
    connect(&m_.settings, &UserSettings::setupChanged, this, [this] {
        takeRates();
        Q_EMIT changed();
    });
}

void EnergyFollower::takeRates()
{
    const EnergyRates rates = EnergyRates::of(m_.settings.values());
    m_record.setRates(rates);
    m_run.setRates(rates);
}

void EnergyFollower::sampleRecorded(int channel, int row, int /*divisor*/)
{
    const RecordStore &r = m_.record;
    const int function = Measurement::functionCodeOf(r.functionCaption[std::size_t(channel)]);
    const int interval = Measurement::intervalSeconds(m_.state.reading.intervalCode);
    const QString time = r.cell(row, RecordStore::timeColumn(channel));
    const QString value = r.cell(row, RecordStore::valueColumn(channel));
    const QString unit = r.cell(row, RecordStore::unitColumn(channel));
    m_record.add(channel, function, interval, time, value, unit);
    m_run.add(channel, function, interval, time, value, unit);
    Q_EMIT changed();
}

void EnergyFollower::recordStarted()
{
    m_record.reset();
    Q_EMIT changed();
}

void EnergyFollower::runStarted()
{
    m_record.reset();
    m_run.reset();
    Q_EMIT changed();
}

void EnergyFollower::recordReplaced()
{
    m_record = EnergyMeter::ofRecord(m_.record.snapshot(), EnergyRates::of(m_.settings.values()));
    m_run = m_record;
    Q_EMIT changed();
}

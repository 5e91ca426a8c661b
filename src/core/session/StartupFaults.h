#pragma once
#include <QSet>
#include <QStringList>

#include "core/measurement/MeasurementTables.h"
#include "core/settings/SettingsStore.h"

class Prompts;

// The files start-up could not read. The program goes on with defaults in their place; each is
// told to the user once, in one message naming the file, when tell() is called with the window up.
class StartupFaults
{
public:
    void noteSettings(const SettingsStore &store);
    void noteLabelFile(const Measurement::LabelFile &file, const QString &path);

    // The messages of the faults noted since the last call, each fault only ever once.
    void tell(Prompts &prompts);

private:
    void note(const QString &text);

    QStringList m_untold;
    QSet<QString> m_told;
};

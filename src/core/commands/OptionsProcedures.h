#pragma once
#include "core/setup/OptionsForm.h"

class GraphHooks;
class UserSettings;

// The Options dialog's procedures on the session: the values it loads and OK's moni_set.
class OptionsProcedures
{
public:
    OptionsProcedures(UserSettings &settings, GraphHooks &graph);

    // Loading the dialog: the option group read from the store.
    OptionValues load();
    // OK: all 14 keys saved; the monitor and the table follow the saved settings, and the
    // graph's frame is redrawn when graph options changed.
    void ok(const OptionsOkPlan &plan);
    // The language of the windows kept for the next start ("" follows the system).
    QString language() const;
    void setLanguage(const QString &code);

private:
    UserSettings &m_settings;
    GraphHooks &m_graph;
};

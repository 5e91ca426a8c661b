#include "core/commands/OptionsProcedures.h"

#include "core/language/UiLanguage.h"

#include "core/common/WindowHooks.h"
#include "core/settings/UserSettings.h"

OptionsProcedures::OptionsProcedures(UserSettings &settings, GraphHooks &graph)
    : m_settings(settings), m_graph(graph)
{
}

OptionValues OptionsProcedures::load()
{
    m_settings.loadOptions();
    return OptionValues::fromSettings(m_settings.values());
}

void OptionsProcedures::ok(const OptionsOkPlan &plan)
{
    Settings edited = m_settings.values();
    plan.values.toSettings(edited);
    m_settings.saveOptions(edited);
    if (plan.redrawGraph) m_graph.reDisplay();
}

QString OptionsProcedures::language() const
{
    return UiLanguage::stored(m_settings.store());
}

void OptionsProcedures::setLanguage(const QString &code)
{
    UiLanguage::store(m_settings.store(), code);
}

#include "core/setup/OptionsForm.h"

#include "core/settings/SettingsKeys.h"

namespace
{

bool isGridStyle(OptionCheck check)
{
    return check == OptionCheck::GridFlat || check == OptionCheck::GridInset ||
           check == OptionCheck::GridRaised;
}

} // namespace

bool OptionValues::operator==(const OptionValues &other) const
{
    return SettingsKeys::sameValues<OptionFields>(*this, other);
}

OptionsForm::OptionsForm(const OptionValues &stored) : m_values(stored)
{
    // The program never stores two styles; should a store hold them, the last one wins.
    if (m_values.Grid_RaisedCk)
        chooseStyle(OptionCheck::GridRaised);
    else if (m_values.Grid_lnsetCk)
        chooseStyle(OptionCheck::GridInset);
}

bool OptionsForm::isChecked(OptionCheck check) const
{
    switch (check) {
    case OptionCheck::DisplayValueForeColor:
    case OptionCheck::DisplayBackColor:
        return true;
    case OptionCheck::GraphBackColor:
        return m_values.Graph_BackColorCk;
    case OptionCheck::ScaleColor:
        return m_values.Graph_T1ColorCk;
    case OptionCheck::GraphTitle:
        return m_values.Graph_TitleCk;
    case OptionCheck::GridLines:
        return m_values.Grid_lineCk;
    case OptionCheck::GridFlat:
        return m_values.Grid_FlatCk;
    case OptionCheck::GridInset:
        return m_values.Grid_lnsetCk;
    case OptionCheck::GridRaised:
        return m_values.Grid_RaisedCk;
    case OptionCheck::DataRowBackColor:
        return m_values.Grid_BackColorCk;
    }
    return false;
}

bool OptionsForm::isEnabled(OptionCheck check) const
{
    return !isGridStyle(check) || m_values.Grid_lineCk;
}

qint32 OptionsForm::color(OptionSwatch swatch) const
{
    switch (swatch) {
    case OptionSwatch::DisplayValueForeColor:
        return m_values.Moni_ForeColor;
    case OptionSwatch::DisplayBackColor:
        return m_values.Moni_BackColor;
    case OptionSwatch::GraphBackColor:
        return m_values.Graph_BackColor;
    case OptionSwatch::ScaleColor:
        return m_values.Graph_T1BackColor;
    case OptionSwatch::DataRowBackColor:
        return m_values.Grid_BackColor;
    }
    return 0;
}

bool OptionsForm::canPick(OptionSwatch swatch) const
{
    switch (swatch) {
    case OptionSwatch::GraphBackColor:
        return m_values.Graph_BackColorCk;
    case OptionSwatch::ScaleColor:
        return m_values.Graph_T1ColorCk;
    case OptionSwatch::DataRowBackColor:
        return m_values.Grid_BackColorCk;
    default:
        return true;
    }
}

void OptionsForm::click(OptionCheck check, bool nowChecked)
{
    switch (check) {
    case OptionCheck::DisplayValueForeColor:
    case OptionCheck::DisplayBackColor:
        break;
    case OptionCheck::GraphBackColor:
        m_values.Graph_BackColorCk = true;
        break;
    case OptionCheck::ScaleColor:
        m_values.Graph_T1ColorCk = true;
        break;
    case OptionCheck::DataRowBackColor:
        m_values.Grid_BackColorCk = true;
        break;
    case OptionCheck::GraphTitle:
        m_values.Graph_TitleCk = nowChecked;
        m_graphChanged = true;
        break;
    case OptionCheck::GridLines:
        m_values.Grid_lineCk = nowChecked;
        m_tableChanged = true;
        break;
    case OptionCheck::GridFlat:
    case OptionCheck::GridInset:
    case OptionCheck::GridRaised:
        if (nowChecked)
            chooseStyle(check);
        else
            styleFlag(check) = false;
        m_tableChanged = true;
        break;
    }
}

void OptionsForm::colorPicked(OptionSwatch swatch, std::optional<qint32> confirmed)
{
    if (!canPick(swatch)) return;
    switch (swatch) {
    case OptionSwatch::DisplayValueForeColor:
        if (confirmed) m_values.Moni_ForeColor = *confirmed;
        break;
    case OptionSwatch::DisplayBackColor:
        if (confirmed) m_values.Moni_BackColor = *confirmed;
        break;
    case OptionSwatch::GraphBackColor:
        if (confirmed) m_values.Graph_BackColor = *confirmed;
        m_graphChanged = true;
        break;
    case OptionSwatch::ScaleColor:
        if (confirmed) m_values.Graph_T1BackColor = *confirmed;
        m_graphChanged = true;
        break;
    case OptionSwatch::DataRowBackColor:
        if (!confirmed) break;
        m_values.Grid_BackColor = *confirmed;
        m_tableChanged = true;
        break;
    }
}

void OptionsForm::titleEdited(const QString &title)
{
    m_values.Graph_MainTitle = title;
    m_graphChanged = true;
}

void OptionsForm::restoreDefaults(OptionsTab tab)
{
    const OptionValues firstRun;
    switch (tab) {
    case OptionsTab::Table:
        m_values.Grid_BackColor = firstRun.Grid_BackColor;
        m_values.Grid_BackColorCk = true;
        m_values.Grid_lineCk = true;
        chooseStyle(OptionCheck::GridFlat);
        m_tableChanged = true;
        break;
    case OptionsTab::Graph:
        m_values.Graph_BackColor = firstRun.Graph_BackColor;
        m_values.Graph_T1BackColor = firstRun.Graph_T1BackColor;
        m_values.Graph_MainTitle = firstRun.Graph_MainTitle;
        m_values.Graph_BackColorCk = true;
        m_values.Graph_T1ColorCk = true;
        m_values.Graph_TitleCk = true; // unlike the first run, the default shows the title
        // New colours must reach the graph even when no box changed its state.
        m_graphChanged = true;
        break;
    case OptionsTab::Monitor:
        m_values.Moni_ForeColor = firstRun.Moni_ForeColor;
        m_values.Moni_BackColor = firstRun.Moni_BackColor;
        break;
    }
}

OptionsOkPlan OptionsForm::ok() const
{
    return {m_values, m_graphChanged};
}

bool &OptionsForm::styleFlag(OptionCheck style)
{
    if (style == OptionCheck::GridInset) return m_values.Grid_lnsetCk;
    if (style == OptionCheck::GridRaised) return m_values.Grid_RaisedCk;
    return m_values.Grid_FlatCk;
}

void OptionsForm::chooseStyle(OptionCheck style)
{
    for (OptionCheck each : {OptionCheck::GridFlat, OptionCheck::GridInset, OptionCheck::GridRaised})
        styleFlag(each) = each == style;
}

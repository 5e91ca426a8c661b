#pragma once
#include <optional>

#include "core/settings/Settings.h"

// The Options dialog's values: the option group of the settings. A default OptionValues holds
// the first-run values.
struct OptionValues : OptionFields {
    static OptionValues fromSettings(const Settings &settings) { return {settings}; }
    // The option fields of `settings` set from these values; the setup fields stay.
    void toSettings(Settings &settings) const { static_cast<OptionFields &>(settings) = *this; }

    bool operator==(const OptionValues &other) const;
};

// The Options dialog's check boxes.
enum class OptionCheck {
    DisplayValueForeColor, // Check3(5) "Display value fore color"
    DisplayBackColor,      // Check3(4) "Display back color"
    GraphBackColor,        // Check2(0) "Graph back color  "
    ScaleColor,            // Check2(1) "Scale color"
    GraphTitle,            // Check2(3) "Graph  Title :"
    GridLines,             // Check1(0) "Grid Lines"
    GridFlat,              // Check1(1) "GridFlat"
    GridInset,             // Check1(2) "GridInset"
    GridRaised,            // Check1(3) "GridRaised"
    DataRowBackColor,      // Check4 "Data Row Back Color"
};

// The colour swatches.
enum class OptionSwatch {
    DisplayValueForeColor, // Picture1(0)
    DisplayBackColor,      // Picture1(1)
    GraphBackColor,        // Picture2(0)
    ScaleColor,            // Picture2(1)
    DataRowBackColor,      // Picture3
};

enum class OptionsTab { Monitor, Graph, Table };

// What OK does after saving all 14 keys (and taking them into the settings): the monitor and
// the table follow the saved settings; the graph's frame is redrawn and its page replotted
// only when graph options changed.
struct OptionsOkPlan {
    OptionValues values;
    bool redrawGraph = false;
};

// The Options dialog's state and the rules of its controls. The window shows what the form
// holds and forwards every click, pick and edit to it.
class OptionsForm
{
public:
    explicit OptionsForm(const OptionValues &stored);

    const OptionValues &values() const { return m_values; }
    bool isChecked(OptionCheck check) const;
    bool isEnabled(OptionCheck check) const; // GridFlat/Inset/Raised only with "Grid Lines"
    bool titleEnabled() const { return m_values.Graph_TitleCk; }
    qint32 color(OptionSwatch swatch) const;
    // A swatch opens the colour dialog only while its box is checked.
    bool canPick(OptionSwatch swatch) const;
    bool graphChanged() const { return m_graphChanged; }
    bool tableChanged() const { return m_tableChanged; }

    // A click on a box, with the state the box now shows. Colour boxes cannot be cleared;
    // the three grid styles act as one choice.
    void click(OptionCheck check, bool nowChecked);
    // The colour dialog closed: `confirmed` is the chosen colour, or nothing when cancelled.
    void colorPicked(OptionSwatch swatch, std::optional<qint32> confirmed);
    void titleEdited(const QString &title);
    // A tab's "Default" button; nothing is saved until OK.
    void restoreDefaults(OptionsTab tab);

    OptionsOkPlan ok() const;

private:
    bool &styleFlag(OptionCheck style); // GridFlat, GridInset or GridRaised
    void chooseStyle(OptionCheck style);

    OptionValues m_values;
    bool m_graphChanged = false;
    bool m_tableChanged = false;
};

#pragma once
#include <QString>
#include <QtGlobal>
#include <optional>

// The option group of the settings, under the settings' names. Colours hold red in the
// lowest byte, then green, then blue.
struct OptionValues {
    qint32 Moni_ForeColor = 16777215;
    qint32 Moni_BackColor = 32768;
    bool Graph_BackColorCk = true;
    bool Graph_T1ColorCk = true;
    bool Graph_TitleCk = false;
    qint32 Graph_BackColor = 8388608;
    qint32 Graph_T1BackColor = 255;
    QString Graph_MainTitle = QStringLiteral("ABC");
    bool Grid_BackColorCk = true;
    bool Grid_lineCk = true;
    bool Grid_FlatCk = true;
    bool Grid_lnsetCk = false;
    bool Grid_RaisedCk = false;
    qint32 Grid_BackColor = 16777215;

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

enum class GridLineStyle { None = 0, Flat = 1, Inset = 2, Raised = 3 };

// What OK does after saving all 14 keys (and taking them into the settings), in this order:
// the monitor's colours always; the table's look only when table options changed; the graph's
// frame redraw and page replot (RE_display, then data) only when graph options changed.
struct OptionsOkPlan {
    OptionValues values;
    qint32 monitorForeColor = 0; // main value and unit displays' text colour
    qint32 monitorBackColor = 0; // their background and the display panel's
    struct TableLook {
        GridLineStyle lineStyle = GridLineStyle::None;
        bool styleChecksEnabled = false;    // Check1(1..3)
        std::optional<qint32> dataRowColor; // only while "Data Row Back Color" is checked
    };
    std::optional<TableLook> table;
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

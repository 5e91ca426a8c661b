#pragma once
#include <QStringList>

// The "Time axial scales : " list (samples per graph page) and what a new choice does to the
// graph.
namespace TimeAxis
{

QStringList entries(); // "25", "50", ... "200"
// The entry's samples per page; the first entry's for a position outside the list.
int samplesPerPage(int position);
// The time-axis scale factor: samples per page / 100 (0.25 .. 2.00).
float factor(int position);
// The page that holds sample `rows` (rounded up; 0 for no rows).
int pageOf(int rows, int samplesPerPage);

struct GraphState {
    float currentFactor = 0.25f;
    bool mainHasReadings = false; // the main channel has samples in the record
    bool graphVisible = false;
    bool recording = false;
    int mainSampleCount = 0; // samples of the main channel in the record
    int mainNextRow = 1;     // the row the main channel's next sample fills
};

struct Change {
    float factor = 0.25f;
    bool redrawFrame = false; // RE_display
    QStringList pageBoxTexts; // written to the page box in this order ("0", then the last page)
};

// Setup OK with the chosen list position. Nothing happens to the graph unless the factor
// changes; then, for a main channel with readings, the frame is redrawn and the page box goes
// to "0" and, while the graph is visible, to the last page (while recording, the page of the
// main channel's next row).
Change onSetupOk(int position, const GraphState &graph);

} // namespace TimeAxis

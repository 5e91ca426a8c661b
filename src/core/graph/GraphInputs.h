#pragma once
#include <QColor>
#include <QSize>
#include <QString>
#include <QVector>

#include "core/measurement/MeasurementTables.h"

// What the graph reads from the rest of the program, as plain values.

// One row of the main channel as the record table holds it.
struct GraphSample {
    QString value; // "12.34", "+OL", "-OL", or "" where the row has no sample
    QString unit;  // "mV", "V", ...: its first letter names the sample's prefix
    QString time;  // "hh:nn:ss"
};

// The record as the graph reads it: the main channel's column of the table.
class GraphRecord
{
public:
    virtual ~GraphRecord() = default;
    // Rows of the table: the header, the data rows and the trailing empty row.
    virtual int tableRows() const = 0;
    // Samples of the main channel; rows 1..sampleCount() can be read.
    virtual int sampleCount() const = 0;
    virtual GraphSample sample(int row) const = 0;
};

// A record kept as a list, for callers that copy the main channel out of the table.
class GraphSampleList : public GraphRecord
{
public:
    QVector<GraphSample> samples;
    int rows = -1; // -1: as many as a table holding only this channel has (samples + 2)

    int tableRows() const override { return rows < 0 ? int(samples.size()) + 2 : rows; }
    int sampleCount() const override { return int(samples.size()); }
    GraphSample sample(int row) const override { return samples.value(row - 1); }
};

// The main channel as the monitor shows it.
struct GraphChannel {
    int function = -1;                                // measuring function code 0..9; -1 before any reading
    int prefix = Measurement::NoPrefix;               // display prefix code 0..5
    QString valueDisplay = QStringLiteral("-????.?"); // the big value; this text means no reading yet
    QString unitDisplay = QStringLiteral("??");       // the big unit; this text means no reading yet
    QString maxDisplay; // maximum and minimum as shown ("" before any, "+OL", "-", ...)
    QString minDisplay;
};

// The graph options, as stored (colours with red in the lowest byte).
struct GraphStyle {
    qint32 backColor = 8388608;                // Graph_BackColor
    qint32 traceColor = 255;                   // Graph_T1BackColor
    bool titleShown = false;                   // Graph_TitleCk
    QString mainTitle = QStringLiteral("ABC"); // Graph_MainTitle
};

// The surface's place in the window.
struct GraphGeometry {
    double h = 1;            // main window width / 12000
    double v = 1;            // main window height / 8800
    QSize pixels{1170, 290}; // size of the drawing surface on screen
    int fontPixels = 11;     // text height on the screen surface
};

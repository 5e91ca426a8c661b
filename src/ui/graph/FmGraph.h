#pragma once
#include <QWidget>

// The graph window's tile. It loads hidden, is shown and hidden by the Graph command and
// takes its place in the frame's layout; the drawing itself is not part of this version.
class FmGraph : public QWidget
{
    Q_OBJECT
public:
    explicit FmGraph(QWidget *parent = nullptr);
};

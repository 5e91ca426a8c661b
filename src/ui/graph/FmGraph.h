#pragma once
#include <QWidget>

class Session;

// The graph window's tile. It loads hidden, is shown and hidden by the Graph command and
// takes its place in the frame's layout; the drawing itself is not part of this version.
class FmGraph : public QWidget
{
    Q_OBJECT
public:
    explicit FmGraph(Session &session, QWidget *parent = nullptr);

private:
    [[maybe_unused]] Session &m_session; // for the contents to come
};

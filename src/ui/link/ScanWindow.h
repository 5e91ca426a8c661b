#pragma once
#include <QWidget>

#include "ui/common/KeyboardReturn.h"

class LinkProber;
class QLabel;

// The port-scan window: shown while the prober scans COM1..COM16, with a row of dots that
// moves as each port is tried, so the user sees that the program is alive.
class ScanWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int WidthTwips = 3600;
    static constexpr int HeightTwips = 1500;

    explicit ScanWindow(LinkProber &prober, QWidget *parent = nullptr);

    QLabel *progressLabel() const { return m_dots; }
    // Puts the dots with their left edge at `leftTwips`.
    void moveProgress(int leftTwips);

private:
    void showScan();
    void closeScan();
    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;

    LinkProber &m_prober;
    QLabel *m_dots;
    KeyboardReturn m_keyboard;
};

#pragma once
#include <QWidget>
#include <array>

#include "ui/common/ProportionalLayout.h"

class QLabel;
class PowerCostMonitor;

// The power cost window: the eight caption/value pairs of the power cost monitor, laid out in
// proportion to the window with fonts that follow its width. It renders the monitor's values
// whenever they change; the frame places it, shows and hides it.
class FmPower : public QWidget
{
    Q_OBJECT
public:
    static constexpr double DesignWidth = 6480; // client size in twips the fields are drawn for
    static constexpr double DesignHeight = 1080;

    explicit FmPower(const PowerCostMonitor &monitor, QWidget *parent = nullptr);

    // Caption Label1(i) and value Label2(i), i = 0..7.
    QLabel *captionLabel(int i) const { return m_captions.at(std::size_t(i)); }
    QLabel *valueLabel(int i) const { return m_values.at(std::size_t(i)); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();

    const PowerCostMonitor &m_monitor;
    ProportionalLayout m_layout;
    std::array<QLabel *, 8> m_captions{};
    std::array<QLabel *, 8> m_values{};
};

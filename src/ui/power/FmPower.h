#pragma once
#include <QWidget>
#include <array>

#include "ui/common/ProportionalLayout.h"

class EnergyFollower;
class EnergyMeter;
class QLabel;
class QTableWidget;
class QTabWidget;
class PowerCostMonitor;
class UserSettings;

// The power cost window: the eight caption/value pairs of the power cost monitor, laid out in
// proportion to the window's width with fonts that follow it, and under them the "Energy"
// table of every current channel, for the record and for the run, in the height left. It renders the
// monitor's values and the energy whenever they change; the frame places it, shows and hides it.
class FmPower : public QWidget
{
    Q_OBJECT
public:
    static constexpr double DesignWidth = 6480; // client size in twips the fields are drawn for
    static constexpr double DesignHeight = 1080;

    struct Sources {
        const PowerCostMonitor &monitor;
        const EnergyFollower &energy;
        const UserSettings &settings;
    };
    explicit FmPower(const Sources &sources, QWidget *parent = nullptr);

    // Caption Label1(i) and value Label2(i), i = 0..7.
    QLabel *valueLabel(int i) const { return m_values.at(std::size_t(i)); }
    // The energy of the record (0) and of the run (1).
    QTableWidget *energyTable(int which) const { return m_energy.at(std::size_t(which)); }
    QTabWidget *energyTabs() const { return m_tabs; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void render();
    void renderEnergy();
    void retranslate();
    void fillEnergy(QTableWidget *table, const EnergyMeter &meter);

    Sources m_;
    QWidget *m_fields = nullptr;
    ProportionalLayout m_layout;
    std::array<QLabel *, 8> m_captions{};
    std::array<QLabel *, 8> m_values{};
    QTabWidget *m_tabs = nullptr;
    std::array<QTableWidget *, 2> m_energy{};
};

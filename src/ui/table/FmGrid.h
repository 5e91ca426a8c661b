#pragma once
#include <QColor>
#include <QTimer>
#include <QWidget>

#include "core/record/GridStyle.h"
#include "ui/common/ProportionalLayout.h"

class QTableView;
class RecordStore;
class UserSettings;
class GridCellDelegate;

// The table window: the record as a grid (a view of the session's RecordStore), with the
// options' line style and data-row colour, column widths in proportion to the window, and
// the first visible row and column the core asks for.
class FmGrid : public QWidget
{
    Q_OBJECT
public:
    static constexpr qreal FontPoints = 8;

    FmGrid(RecordStore &record, const UserSettings &settings, QWidget *parent = nullptr);

    QTableView *grid() const { return m_view; }
    // Line style and data-row colour from the settings (again after the options changed).
    void applyOptions();
    GridStyle::LineStyle lineStyle() const { return m_lineStyle; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyColumnWidths();
    void scheduleFollow();
    void followViewport();
    void onUserScroll();

    RecordStore &m_record;
    const UserSettings &m_settings;
    ProportionalLayout m_layout;
    QTableView *m_view;
    GridCellDelegate *m_delegate;
    QTimer m_followTimer;
    // The grid control starts with flat lines; options with no style checked keep it.
    GridStyle::LineStyle m_lineStyle = GridStyle::LineStyle::Flat;
    QColor m_rowColor = Qt::white;
};

#pragma once
#include <QAbstractTableModel>
#include <QDateTime>
#include <QString>
#include <array>

#include "core/common/ChannelCount.h"
#include "core/record/RecordTable.h"

// The current record: a header row and one row per sample position, 20 text columns
// (index, date, and per channel time, value, unit). Grid numbering is used throughout:
// row 0 is the header, rows 1..sampleRows hold samples, the last row is the one being
// filled. As a Qt model it shows the data rows (model row r = grid row r + 1) with row 0
// as the horizontal header.
class RecordStore : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = RecordTable::ColumnCount;
    static constexpr int MaxSampleRows = 9999;
    static constexpr int timeColumn(int channel) { return 3 * channel + 2; }
    static constexpr int valueColumn(int channel) { return 3 * channel + 3; }
    static constexpr int unitColumn(int channel) { return 3 * channel + 4; }

    explicit RecordStore(QObject *parent = nullptr);

    // grid access
    int gridRowCount() const { return int(m_rows.size()); }
    void setGridRowCount(int rows);          // keeps row 0; new rows are empty
    QString cell(int row, int column) const; // "" outside the grid
    void setCell(int row, int column, const QString &text);
    // A whole data row at once (loading a stored record): one change for the view.
    void setRow(int row, const std::array<QString, ColumnCount> &cells);

    // counters
    int sampleRows() const { return m_sampleRows; }
    int nextRow(int channel) const { return m_nextRow.at(channel); }
    int channelCount() const { return m_channelCount; }
    void setChannelCount(int count) { m_channelCount = count; }
    void resetCounters(); // sampleRows 1, nextRow 1, channelCount 0
    // The counters of a record rebuilt from its journal, as they stood when it was recorded.
    void restoreCounters(int sampleRows, const std::array<int, ChannelCount> &nextRow, int channelCount);

    // Appends channel's sample at `now`; the time moves on one second when the channel's
    // previous sample is not a whole second older and fewer than 48 bytes wait.
    // Returns the time written.
    QTime appendSample(int channel, const QString &valueText, const QString &unitText, const QDateTime &now,
                       int waitingBytes);

    enum class Growth { Unchanged, Grew, SplitNeeded };
    // After each sample: SplitNeeded at 9999 rows (the caller stops, saves and restarts),
    // else one row more when some channel has filled the newest row.
    Growth growOrSplit();

    // The record part of a new record or Clear record: header plus one empty row, channel
    // captions emptied, channel names in the header.
    void clearRecord(const std::array<QString, ChannelCount> &trimmedChannelNames);
    void setChannelNames(const std::array<QString, ChannelCount> &trimmedChannelNames);

    // Hidden per-channel captions: function name, prefix code, divisor (as text).
    std::array<QString, ChannelCount> functionCaption;
    std::array<QString, ChannelCount> prefixCaption;
    std::array<QString, ChannelCount> divisorCaption;

    // The record as it stands, for writing it elsewhere (on another thread too) while this
    // table goes on: costs next to nothing, the rows are shared until either side changes.
    RecordTable snapshot() const;

    // record stamp "yyyymmdd_hhnnss" and file name "yymmdd_hhnnss.xlsx"
    void stampRecord(const QDateTime &start);
    QString stamp() const { return m_stamp; }
    void setStamp(const QString &stamp) { m_stamp = stamp; } // a rebuilt record keeps its own
    static QString fileNameForStamp(const QString &stamp);

    // the view's first visible row (grid numbering) and first visible column
    int firstVisibleRow() const { return m_firstVisibleRow; }
    int firstVisibleColumn() const { return m_firstVisibleColumn; }
    void setFirstVisibleRow(int row);
    void setFirstVisibleColumn(int column);

    // the system short date used in column 1
    static QString shortDate(const QDate &date);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

Q_SIGNALS:
    void viewportChanged();

private:
    using Row = RecordTable::Row;
    QList<Row> m_rows;
    int m_sampleRows = 1;
    std::array<int, ChannelCount> m_nextRow{1, 1, 1, 1, 1, 1};
    int m_channelCount = 0;
    QString m_stamp;
    int m_firstVisibleRow = 1;
    int m_firstVisibleColumn = 0;
};

#include "core/record/RecordStore.h"

#include <QLocale>

#include "core/common/ChannelCount.h"
#include "core/common/NumberFormat.h"

namespace
{

constexpr int SecondsPerDay = 24 * 60 * 60;
// Below this many waiting bytes (eight frames) the input is not backlogged, so a sample
// that is not later than its predecessor really arrived too soon and is moved on.
constexpr int BacklogBytes = 48;

// Seconds from `earlier` to `later`, whole seconds of the times of day only. The cells carry
// no date, so a difference of more than half a day is taken as the day having turned between
// the two samples: 23:59:59 followed by 00:00:01 is two seconds later, not a day earlier, and
// 00:00:00 followed by 23:59:59 (a sample nudged past midnight) is one second earlier.
int secondsBetweenTimesOfDay(const QTime &earlier, const QTime &later)
{
    int seconds = later.msecsSinceStartOfDay() / 1000 - earlier.msecsSinceStartOfDay() / 1000;
    if (seconds > SecondsPerDay / 2)
        seconds -= SecondsPerDay;
    else if (seconds <= -SecondsPerDay / 2)
        seconds += SecondsPerDay;
    return seconds;
}

QTime wholeSeconds(const QTime &time)
{
    return QTime(time.hour(), time.minute(), time.second());
}

bool isChannel(int channel)
{
    return channel >= 0 && channel < ChannelCount;
}

void writeFixedHeaders(std::array<QString, RecordStore::ColumnCount> &header)
{
    header[0] = QStringLiteral("Index");
    header[1] = QStringLiteral("Date");
    for (int channel = 0; channel < ChannelCount; ++channel) {
        header[RecordStore::timeColumn(channel)] = QStringLiteral("Time");
        header[RecordStore::unitColumn(channel)] = QStringLiteral("Unit");
    }
}

} // namespace

RecordStore::RecordStore(QObject *parent) : QAbstractTableModel(parent)
{
    m_rows.resize(2);
    writeFixedHeaders(m_rows.front());
}

void RecordStore::setGridRowCount(int rows)
{
    beginResetModel();
    m_rows.resize(std::max(rows, 1));
    endResetModel();
}

QString RecordStore::cell(int row, int column) const
{
    if (row < 0 || row >= gridRowCount() || column < 0 || column >= ColumnCount) return {};
    return m_rows[row][column];
}

void RecordStore::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= gridRowCount() || column < 0 || column >= ColumnCount) return;
    m_rows[row][column] = text;
    if (row == 0) {
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
    } else {
        const QModelIndex changed = index(row - 1, column);
        Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void RecordStore::setRow(int row, const std::array<QString, ColumnCount> &cells)
{
    if (row < 1 || row >= gridRowCount()) return;
    m_rows[row] = cells;
    Q_EMIT dataChanged(index(row - 1, 0), index(row - 1, ColumnCount - 1), {Qt::DisplayRole});
}

void RecordStore::resetCounters()
{
    m_sampleRows = 1;
    m_nextRow.fill(1);
    m_channelCount = 0;
}

void RecordStore::restoreCounters(int sampleRows, const std::array<int, ChannelCount> &nextRow,
                                  int channelCount)
{
    m_sampleRows = sampleRows;
    m_nextRow = nextRow;
    m_channelCount = channelCount;
}

QTime RecordStore::appendSample(int channel, const QString &valueText, const QString &unitText,
                                const QDateTime &now, int waitingBytes)
{
    QDateTime t = now;
    if (!isChannel(channel)) return wholeSeconds(t.time());
    const int row = m_nextRow[channel];

    if (m_sampleRows > 1 && row > 1 && waitingBytes < BacklogBytes) {
        const QTime previous =
            QTime::fromString(cell(row - 1, timeColumn(channel)), QStringLiteral("hh:mm:ss"));
        if (previous.isValid() && secondsBetweenTimesOfDay(previous, t.time()) <= 0) t = t.addSecs(1);
    }
    const QTime written = wholeSeconds(t.time());

    // Only the caller's restart after SplitNeeded (or a grid resized under the counters)
    // leaves a channel without a row; its sample has nowhere to go and is dropped rather
    // than written past the table.
    if (row >= gridRowCount() || row > m_sampleRows) return written;

    Row &cells = m_rows[row];
    const int modelRow = row - 1;
    if (row == m_sampleRows) {
        cells[0] = NumberFormat::format(row, u"0000");
        cells[1] = shortDate(now.date());
        Q_EMIT dataChanged(index(modelRow, 0), index(modelRow, 1), {Qt::DisplayRole});
    }
    cells[timeColumn(channel)] = NumberFormat::formatTime(written, u"hh:nn:ss");
    cells[valueColumn(channel)] = valueText;
    cells[unitColumn(channel)] = unitText;
    Q_EMIT dataChanged(index(modelRow, timeColumn(channel)), index(modelRow, unitColumn(channel)),
                       {Qt::DisplayRole});
    ++m_nextRow[channel];
    return written;
}

RecordStore::Growth RecordStore::growOrSplit()
{
    if (m_sampleRows >= MaxSampleRows) return Growth::SplitNeeded;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        if (m_nextRow[channel] - 1 >= m_sampleRows) {
            const int newModelRow = gridRowCount() - 1;
            beginInsertRows({}, newModelRow, newModelRow);
            m_rows.emplace_back();
            ++m_sampleRows;
            endInsertRows();
            return Growth::Grew;
        }
    }
    return Growth::Unchanged;
}

void RecordStore::clearRecord(const std::array<QString, ChannelCount> &trimmedChannelNames)
{
    beginResetModel();
    // A fresh list: the old rows may still be shared with a snapshot being written.
    m_rows = QList<Row>(2);
    writeFixedHeaders(m_rows.front());
    for (int channel = 0; channel < ChannelCount; ++channel)
        m_rows.front()[valueColumn(channel)] = trimmedChannelNames[channel];
    // An emptied table with counters still pointing deep into the old record would send the
    // next sample nowhere and mislead every reader of the counters.
    resetCounters();
    endResetModel();

    functionCaption.fill({});
    prefixCaption.fill({});
    divisorCaption.fill({});
}

RecordTable RecordStore::snapshot() const
{
    return {m_rows, functionCaption, prefixCaption, divisorCaption, m_stamp};
}

void RecordStore::setChannelNames(const std::array<QString, ChannelCount> &trimmedChannelNames)
{
    for (int channel = 0; channel < ChannelCount; ++channel)
        m_rows.front()[valueColumn(channel)] = trimmedChannelNames[channel];
    Q_EMIT headerDataChanged(Qt::Horizontal, valueColumn(0), valueColumn(5));
}

void RecordStore::stampRecord(const QDateTime &start)
{
    m_stamp = NumberFormat::formatDateTime(start, u"yyyymmdd") + QLatin1Char('_') +
              NumberFormat::formatDateTime(start, u"hhnnss");
}

QString RecordStore::fileNameForStamp(const QString &stamp)
{
    // No stamp, no record file: an empty name keeps the "File" field empty.
    if (stamp.isEmpty()) return {};
    return stamp.mid(2, 13) + QStringLiteral(".xlsx");
}

void RecordStore::setFirstVisibleRow(int row)
{
    // The header row is fixed; a row outside the data rows leaves the view where it is.
    if (row < 1 || row >= gridRowCount()) return;
    m_firstVisibleRow = row;
    Q_EMIT viewportChanged();
}

void RecordStore::setFirstVisibleColumn(int column)
{
    if (column < 0 || column >= ColumnCount) return;
    m_firstVisibleColumn = column;
    Q_EMIT viewportChanged();
}

QString RecordStore::shortDate(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

int RecordStore::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : gridRowCount() - 1;
}

int RecordStore::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordStore::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_rows[index.row() + 1][index.column()];
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant RecordStore::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= ColumnCount) return {};
        if (role == Qt::DisplayRole) return m_rows.front()[section];
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
        return {};
    }
    // Rows are numbered as in the grid: the first data row is row 1.
    if (role == Qt::DisplayRole && section >= 0 && section < rowCount()) return section + 1;
    return {};
}

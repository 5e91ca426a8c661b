#include "core/recording/RecordRecovery.h"

#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/AppPaths.h"
#include "core/common/Files.h"
#include "core/common/Prompts.h"
#include "core/common/WindowHooks.h"
#include "core/measurement/MeasurementTables.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordStore.h"
#include "core/recording/JournalWriter.h"
#include "core/recording/RecordReset.h"
#include "core/recording/SampleRecorder.h"

namespace
{

// "<journal>.discarded", or "<journal>.2.discarded" and on beside one set aside before.
void setAside(const QString &path)
{
    const QString suffix = QLatin1String(RecordJournal::DiscardedSuffix);
    const QString target = firstFreeName(
        [&](int n) -> QString {
            if (n == 1) return path + suffix;
            return path + QLatin1Char('.') + QString::number(n) + suffix;
        },
        [](const QString &name) { return QFileInfo::exists(name); });
    QFile::rename(path, target);
}

// The range prefix of a reading of `functionCode` that the table shows in `unit`.
int prefixOf(const QString &unit, int functionCode)
{
    for (int code = 0; code < Measurement::PrefixCount; ++code)
        if (Measurement::prefixText(code) + Measurement::unitText(functionCode) == unit) return code;
    return Measurement::prefixCodeOfUnit(unit);
}

bool isOverload(const QString &valueText)
{
    return valueText == QLatin1String("+OL") || valueText == QLatin1String("-OL");
}

// The functions whose record keeps the smallest range seen and marks a range change.
bool marksRangeChanges(int functionCode)
{
    return functionCode == Measurement::DCV || functionCode == Measurement::OHM ||
           functionCode == Measurement::Hz;
}

} // namespace

RecordRecovery::RecordRecovery(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators)
{
}

QString RecordRecovery::questionText(const QString &recordFileName)
{
    return QCoreApplication::translate("RecordRecovery",
                                       "The record %1 was not saved when Voltrix last ended. Recover it?")
        .arg(recordFileName);
}

QString RecordRecovery::saveFailedText(const QString &recordFileName, const QString &reason)
{
    return QCoreApplication::translate(
               "RecordRecovery", "The recovered record %1 could not be saved (%2). It is kept in the table.")
        .arg(recordFileName, reason);
}

void RecordRecovery::recoverAll(Asking asking)
{
    // The journals of both folders, oldest first.
    QMap<QString, QString> journals;
    for (const QString &folderPath : m_.journal.folders()) {
        const QDir folder(folderPath);
        for (const QString &name :
             folder.entryList({QLatin1Char('*') + QLatin1String(RecordJournal::Suffix)}, QDir::Files))
            journals.insert(name + QLatin1Char('/') + folderPath, folder.filePath(name));
    }
    for (const QString &path : std::as_const(journals)) {
        if (JournalWriter::inUseElsewhere(path)) continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        const RecordJournal::Content content = RecordJournal::read(file.readAll());
        file.close();
        if (content.header == RecordJournal::Content::Header::Foreign) continue;
        if (content.samples == 0) {
            QFile::remove(path);
            continue;
        }
        const QString recordFileName = RecordStore::fileNameForStamp(content.stamp);
        if (asking == Asking::Ask &&
            m_.prompts.message(questionText(recordFileName), applicationTitle(), Prompts::Buttons::YesNo,
                               Prompts::Icon::Question) != Prompts::Answer::Yes) {
            setAside(path);
            continue;
        }
        if (!recover(path, content)) return;
    }
}

bool RecordRecovery::recover(const QString &path, const RecordJournal::Content &content)
{
    m_.reset.clearRecord();
    RecordJournal::rebuild(content, m_.record);
    restoreStatistics(content);
    showInMonitor(content);
    const QString recordFileName = m_.monitor.file;
    Q_EMIT recordRebuilt();
    // The journal stands for the record in the table: the save removes it, as any other.
    m_.journal.adopt(path, recordFileName);
    QString error;
    if (!m_.saver.autoSave(&error)) {
        m_.journal.keepForRecovery(recordFileName);
        m_.prompts.message(saveFailedText(recordFileName, error), applicationTitle(), Prompts::Buttons::Ok,
                           Prompts::Icon::Warning);
        Q_EMIT recoveryFailed(recordFileName);
        return false;
    }
    // Recovered only once the workbook is written; a failure there was told and keeps the journal.
    m_.saver.waitForSaves();
    const QString written = m_.saver.writtenPathFor(recordFileName);
    if (written.isEmpty()) {
        Q_EMIT recoveryFailed(recordFileName);
        return false;
    }
    Q_EMIT recordRecovered(written);
    return true;
}

// Each channel's samples again through the statistics, in the order the channel took them, on a
// copy of the table whose counters stand where they stood at each sample; the range changes of
// the channels that mark them, as the sample recorder noted them.
void RecordRecovery::restoreStatistics(const RecordJournal::Content &content)
{
    AcquisitionState state;
    RecordStore table;
    MonitorFields monitor;
    Statistics replay(state, table, monitor);
    RecordJournal::rebuild(content, table);
    std::array<int, ChannelCount> nextRow{1, 1, 1, 1, 1, 1};
    ChannelReading &reading = state.reading;
    for (int k = 0; k < ChannelCount; ++k) {
        const auto channel = std::size_t(k);
        const int function = Measurement::functionCodeOf(content.functionCaption[channel]);
        reading.channel = qint16(k);
        reading.functionCode = qint16(function);
        bool rangeChanged = false;
        for (int row = 1; row < content.nextRow[channel]; ++row) {
            const RecordJournal::Row &cells = content.rows[std::size_t(row - 1)];
            const QString &unit = cells[std::size_t(RecordStore::unitColumn(k))];
            const int prefix = prefixOf(unit, function);
            const int divisor = content.divisors[std::size_t(row - 1)][channel];
            if (row > 1 && prefix != state.channels.currentPrefix[channel]) rangeChanged = true;
            reading.valueText = cells[std::size_t(RecordStore::valueColumn(k))];
            reading.prefixCode = qint16(prefix);
            reading.divisor = qint16(divisor);
            state.channels.currentPrefix[channel] = qint16(prefix);
            state.channels.unit[channel] = unit;
            nextRow[channel] = row + 1;
            table.restoreCounters(content.sampleRows, nextRow, 0);
            replay.avg();
            if (!isOverload(reading.valueText) || SampleRecorder::overloadCounts(function, prefix, divisor))
                replay.maxMin();
        }
        m_.statistics.restore(k, replay.channel(k));
        m_.state.channels.rangeMixed[channel] = rangeChanged && marksRangeChanges(function);
    }
}

// What a stopped record shows: its file name, its channels in the channel list with their units,
// and the first of them on the big display.
void RecordRecovery::showInMonitor(const RecordJournal::Content &content)
{
    MonitorFields &monitor = m_.monitor;
    AcquisitionState &state = m_.state;
    monitor.file = RecordStore::fileNameForStamp(content.stamp);
    QStringList entries;
    for (int k = 0; k < ChannelCount; ++k) {
        const int samples = content.nextRow[std::size_t(k)] - 1;
        if (samples < 1) continue;
        state.channels.present[std::size_t(k)] = true;
        state.channels.unit[std::size_t(k)] = m_.record.cell(samples, RecordStore::unitColumn(k));
        if (entries.isEmpty()) { // the first channel becomes the main one, showing its last sample
            monitor.bigValue = m_.record.cell(samples, RecordStore::valueColumn(k));
            monitor.bigUnit = state.channels.unit[std::size_t(k)];
        }
        entries << QString::number(k + 1) + QLatin1Char('_') + content.channelNames[std::size_t(k)];
    }
    monitor.channelEntries = entries;
    monitor.receivedChannels = QString::number(entries.size());
    monitor.notify();
    if (!entries.isEmpty()) monitor.selectEntry(0);
}

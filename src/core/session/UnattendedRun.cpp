#include "core/session/UnattendedRun.h"

#include "core/recordfiles/OpenRecord.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/RecordingControl.h"

#include <QFileInfo>
#include <QTextStream>

namespace
{
void say(const QString &text)
{
    QTextStream(stderr) << "voltrix: " << text << Qt::endl;
}
} // namespace

UnattendedRun::UnattendedRun(RecordingControl &recording, OpenRecord &opener, WorkbookSaver &saver,
                             const Plan &plan, QObject *parent)
    : QObject(parent), m_recording(recording), m_opener(opener), m_saver(saver), m_plan(plan)
{
    m_stopTimer.setSingleShot(true);
    connect(&m_stopTimer, &QTimer::timeout, this, &UnattendedRun::stopAndFinish);
}

void UnattendedRun::begin()
{
    if (m_phase != Phase::NotBegun) return; // a signal ended the run before it began
    if (!m_plan.openPath.isEmpty() && !m_opener.open(m_plan.openPath)) {
        say(QStringLiteral("could not open ") + QFileInfo(m_plan.openPath).absoluteFilePath());
        end(OpenFailed);
        return;
    }
    if (!m_plan.record) {
        // The windows the record opened in lay themselves out first: the graph is printed
        // and saved at the size it is shown.
        if (m_plan.quit)
            QTimer::singleShot(0, this, [this] {
                if (m_phase != Phase::NotBegun) return; // a signal ended the run already
                m_phase = Phase::Writing;
                end(writeOutput());
            });
        return;
    }
    m_phase = Phase::Starting;
    m_recording.start();                    // links first; returns once recording or stopped
    if (m_phase != Phase::Starting) return; // a signal ended the run while it linked
    if (!m_recording.status().running()) {
        say(QStringLiteral("no recording was started (no receiver answered)"));
        end(NoRecording);
        return;
    }
    m_phase = Phase::Recording;
    if (m_plan.durationSeconds > 0) {
        say(QStringLiteral("recording for %1 s").arg(m_plan.durationSeconds));
        m_stopTimer.start(m_plan.durationSeconds * 1000);
    } else {
        say(QStringLiteral("recording until stopped"));
    }
}

void UnattendedRun::closeBySignal()
{
    m_closing = true;
    switch (m_phase) {
    case Phase::Done:
        Q_EMIT finished(m_exitCode);
        return;
    case Phase::Starting:
    case Phase::Recording:
        m_stopTimer.stop();
        stopAndFinish();
        return;
    case Phase::NotBegun:
        m_phase = Phase::Writing;
        end(writeOutput());
        return;
    case Phase::Writing: // finished() follows once the outputs are written
        return;
    }
}

void UnattendedRun::stopAndFinish()
{
    m_phase = Phase::Writing;
    m_recording.stop();
    m_saver.waitForSaves(); // the records split off are on disk before the run reports done
    end(writeOutput());
}

void UnattendedRun::end(int exitCode)
{
    m_phase = Phase::Done;
    m_exitCode = exitCode;
    if (m_plan.quit || m_closing) Q_EMIT finished(exitCode);
}

void UnattendedRun::addOutput(const QString &what, const QString &path, std::function<QString()> write)
{
    m_outputs.push_back({what, path, std::move(write)});
}

void UnattendedRun::reportRecovered(const QString &savedPath)
{
    say(QStringLiteral("recovered an unsaved record into ") + QFileInfo(savedPath).absoluteFilePath());
}

void UnattendedRun::noteRecordKept(const QString &recordFileName)
{
    if (m_keptRecords.contains(recordFileName)) return;
    m_keptRecords << recordFileName;
    say(QStringLiteral("the record ") + recordFileName +
        QStringLiteral(" could not be saved; its journal is kept for the next start"));
}

int UnattendedRun::writeOutput()
{
    int code = writeRecord();
    if (!m_keptRecords.isEmpty()) code = OutputFailed;
    for (const Output &output : m_outputs) {
        const QString error = output.write();
        if (error.isEmpty()) {
            say(output.what + QStringLiteral(" to ") + QFileInfo(output.path).absoluteFilePath());
            continue;
        }
        say(output.what + QStringLiteral(": failed: ") + error);
        code = OutputFailed;
    }
    return code;
}

int UnattendedRun::writeRecord()
{
    if (m_plan.outputPath.isEmpty()) return Success;
    QString path = m_plan.outputPath;
    QString error;
    if (!m_saver.saveAs(&path, &error)) {
        say(QStringLiteral("could not write the record: ") + error);
        // Not written is not dropped: the save question that follows must not take the journal.
        const QString journal = m_keepRecord ? m_keepRecord() : QString();
        if (!journal.isEmpty())
            say(QStringLiteral("the record is kept in the journal ") + QFileInfo(journal).absoluteFilePath() +
                QStringLiteral(", which the next start recovers"));
        return OutputFailed;
    }
    say(QStringLiteral("record written to ") + QFileInfo(path).absoluteFilePath());
    return Success;
}

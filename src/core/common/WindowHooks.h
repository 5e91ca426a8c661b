#pragma once
#include <QDir>
#include <QFileInfo>
#include <QString>

#include "core/common/AppPaths.h"

// Procedures of the graph and power cost windows that the decoder, the monitor and the
// recording control run. Those windows implement them; until then they do nothing.
class GraphHooks
{
public:
    virtual ~GraphHooks() = default;
    virtual void dataAll() {}                   // plot the newest main-channel sample
    virtual void tickText() {}                  // vertical autoscale
    virtual void reDisplay() {}                 // redraw the frame and the page's samples
    virtual void setPageBox(const QString &) {} // the page box, Text1(0)
};

class PowerHooks
{
public:
    virtual ~PowerHooks() = default;
    virtual void powerCheck() {}
    virtual void powerRate() {}
    virtual void resetStart() {} // start time back to "not started"
};

// The progress window of long file operations (FmLoading); without one nothing shows.
class ProgressHooks
{
public:
    virtual ~ProgressHooks() = default;
    virtual void showProgress(const QString &caption, const QString &label, int maximum)
    {
        Q_UNUSED(caption)
        Q_UNUSED(label)
        Q_UNUSED(maximum)
    }
    virtual void setProgress(int value) { Q_UNUSED(value) }
    virtual void closeProgress() {}
};

// Saving the record as a workbook.
class RecordSaver
{
public:
    virtual ~RecordSaver() = default;
    // Saves without a dialog (the record split and the function change): the record as it is
    // now is taken over, and may be written after the call returns. False when no folder can
    // take the file, with the reasons, each naming its file, in `error`; nothing is saved then.
    virtual bool autoSave(QString *error) = 0;
    // An automatic save of the record named `recordFileName` is still being written; the
    // record counts as saved meanwhile.
    virtual bool isSaving(const QString &recordFileName) const
    {
        Q_UNUSED(recordFileName)
        return false;
    }
    // Returns once every automatic save taken over has been written or has failed.
    virtual void waitForSaves() {}
    // The Save Data command with its file dialog. False when the record was not saved
    // (cancelled, or failed and the user was told why).
    virtual bool saveDataCommand() = 0;
    // Where an automatic save of the record named `recordFileName` lands; the record
    // counts as saved once a file exists there.
    virtual QString savedPathFor(const QString &recordFileName) const
    {
        return QDir(AppPaths::recordsFolder()).filePath(recordFileName);
    }
    // The file the record named `recordFileName` was written to, once written and closed; "" until then
    // or when its save failed.
    virtual QString writtenPathFor(const QString &recordFileName) const
    {
        const QString path = savedPathFor(recordFileName);
        return QFileInfo::exists(path) ? path : QString();
    }
};

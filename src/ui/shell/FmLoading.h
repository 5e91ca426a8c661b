#pragma once
#include <QDialog>

#include "core/common/WindowHooks.h"
#include "ui/common/KeyboardReturn.h"

class QLabel;
class QProgressBar;

// The progress window of saving and opening a record. The work runs on the user-interface
// thread, so the window repaints itself as the bar moves instead of waiting for the event
// loop (which would let new readings into the record being written). Closed, it gives the
// keyboard back to the window and the control that had it.
class FmLoading final : public QDialog, public ProgressHooks
{
    Q_OBJECT
public:
    explicit FmLoading(QWidget *parent = nullptr);

    void showProgress(const QString &caption, const QString &label, int maximum) override;
    void setProgress(int value) override;
    void closeProgress() override;

private:
    QLabel *m_label;
    QProgressBar *m_bar;
    int m_step = 1;
    KeyboardReturn m_keyboard;
};

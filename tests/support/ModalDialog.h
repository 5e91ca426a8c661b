#pragma once
// Header only: for the tests that link the windows (tst_gui_*).
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

// Runs `answer` on the modal dialog that the next call opens.
inline void whenDialogOpens(const std::function<void(QDialog *)> &answer)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) return;
        poll->deleteLater();
        poll->stop();
        answer(dialog);
    });
    poll->start();
}

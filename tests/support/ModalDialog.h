#pragma once
// Header only: for the tests that link the windows (tst_gui_*).
#include <QApplication>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
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

// Answers the modal dialogs the next call opens, one after another.
inline void answerDialogs(const QList<std::function<void(QDialog *)>> &answers)
{
    if (answers.isEmpty()) return;
    whenDialogOpens([answers](QDialog *dialog) {
        answerDialogs(answers.mid(1));
        answers.first()(dialog);
    });
}

// Answers a question box Yes or No, keeping its text in `asked`.
inline std::function<void(QDialog *)> answerQuestion(bool yes, QString &asked)
{
    return [yes, &asked](QDialog *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        asked = box->text();
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    };
}

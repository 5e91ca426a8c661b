#pragma once
#include <QList>
#include <QQueue>

#include "core/common/Prompts.h"

// Prompts for tests: records every question and file dialog and answers from a script.
// OK boxes need no answer and take none from the script. Yes/No questions take the next
// scripted answer, file dialogs the next scripted file name, colour dialogs the next scripted
// colour; with the script used up they get the defaults (No, cancel, cancel).
class ScriptedPrompts final : public Prompts
{
public:
    enum class Kind { Message, OpenFile, SaveFile, Color };
    struct Call {
        Kind kind = Kind::Message;
        QString text; // message text; for file dialogs the directory or suggested path
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        QString filter; // file dialogs only
        QColor color;   // colour dialogs: the colour it opened on
    };

    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    QString openFileName(const QString &title, const QString &directory, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &suggestedPath, const QString &filter) override;
    std::optional<QColor> chooseColor(const QColor &initial, const QString &title) override;

    // The next colour dialog confirms `color`; nothing cancels it.
    void queueColor(std::optional<QColor> color) { m_colors.enqueue(color); }
    void queueAnswer(Answer answer) { m_answers.enqueue(answer); }
    void queueFileName(const QString &fileName) { m_fileNames.enqueue(fileName); }

    const QList<Call> &calls() const { return m_calls; }
    Call lastCall() const { return m_calls.isEmpty() ? Call{} : m_calls.last(); }
    QStringList messageTexts() const;
    void clear();

private:
    QString nextFileName();

    QList<Call> m_calls;
    QQueue<Answer> m_answers;
    QQueue<QString> m_fileNames;
    QQueue<std::optional<QColor>> m_colors;
    Answer m_defaultAnswer = Answer::No;
};

#pragma once
#include "core/common/Prompts.h"

#include <QTextStream>

// Answers for runs without a person at the screen (--record/--quit): every question is
// printed to standard error and answered by a fixed rule, so the run never waits.
//   "Time out! Continue to receive data now? "  -> Yes (keep recording)
//   "Clear record!"                             -> Yes
//   "Save File!" (an unsaved record)            -> No (--output writes the record)
//   any other Yes/No question                   -> No
//   messages with an OK button                  -> OK
//   file and colour dialogs                     -> cancelled
class UnattendedPrompts final : public Prompts
{
public:
    explicit UnattendedPrompts(FILE *stream = stderr);

    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    QString openFileName(const QString &title, const QString &directory, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &suggestedPath, const QString &filter) override;
    std::optional<QColor> chooseColor(const QColor &initial, const QString &title) override;

    static Answer ruleFor(const QString &text, const QString &title, Buttons buttons);

private:
    QTextStream m_out;
};

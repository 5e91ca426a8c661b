#include "core/session/UnattendedPrompts.h"

#include "core/recording/RecordingControl.h"

UnattendedPrompts::UnattendedPrompts(FILE *stream) : m_out(stream) {}

Prompts::Answer UnattendedPrompts::ruleFor(const QString &text, const QString &title, Buttons buttons)
{
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (text == RecordingControl::timeOutQuestion() || title == RecordingControl::clearTitle())
        return Answer::Yes;
    return Answer::No;
}

Prompts::Answer UnattendedPrompts::message(const QString &text, const QString &title, Buttons buttons, Icon)
{
    const Answer answer = ruleFor(text, title, buttons);
    const char *said = answer == Answer::Yes      ? "Yes"
                       : answer == Answer::No     ? "No"
                       : answer == Answer::Cancel ? "Cancel"
                                                  : "OK";
    m_out << "voltrix: [" << title << "] " << text << " -> " << said << Qt::endl;
    return answer;
}

QString UnattendedPrompts::openFileName(const QString &title, const QString &, const QString &)
{
    m_out << "voltrix: [" << title << "] file dialog -> cancelled" << Qt::endl;
    return {};
}

QString UnattendedPrompts::saveFileName(const QString &title, const QString &, const QString &)
{
    m_out << "voltrix: [" << title << "] file dialog -> cancelled" << Qt::endl;
    return {};
}

std::optional<QColor> UnattendedPrompts::chooseColor(const QColor &, const QString &title)
{
    m_out << "voltrix: [" << title << "] colour dialog -> cancelled" << Qt::endl;
    return std::nullopt;
}

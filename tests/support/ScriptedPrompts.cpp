#include "support/ScriptedPrompts.h"

Prompts::Answer ScriptedPrompts::message(const QString &text, const QString &title, Buttons buttons,
                                         Icon icon)
{
    m_calls.append({Kind::Message, text, title, buttons, icon, {}, {}});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (!m_answers.isEmpty()) return m_answers.dequeue();
    return m_defaultAnswer;
}

QString ScriptedPrompts::openFileName(const QString &title, const QString &directory, const QString &filter)
{
    m_calls.append({Kind::OpenFile, directory, title, Buttons::Ok, Icon::None, filter, {}});
    return nextFileName();
}

QString ScriptedPrompts::saveFileName(const QString &title, const QString &suggestedPath,
                                      const QString &filter)
{
    m_calls.append({Kind::SaveFile, suggestedPath, title, Buttons::Ok, Icon::None, filter, {}});
    return nextFileName();
}

std::optional<QColor> ScriptedPrompts::chooseColor(const QColor &initial, const QString &title)
{
    m_calls.append({Kind::Color, {}, title, Buttons::Ok, Icon::None, {}, initial});
    if (!m_colors.isEmpty()) return m_colors.dequeue();
    return std::nullopt;
}

QString ScriptedPrompts::nextFileName()
{
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QStringList ScriptedPrompts::messageTexts() const
{
    QStringList texts;
    for (const Call &call : m_calls) {
        if (call.kind == Kind::Message) texts << call.text;
    }
    return texts;
}

void ScriptedPrompts::clear()
{
    m_calls.clear();
    m_answers.clear();
    m_fileNames.clear();
    m_colors.clear();
}

#include "ui/shell/QtPrompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace
{

QMessageBox::Icon boxIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Critical:
        return QMessageBox::Critical;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Prompts::Answer QtPrompts::message(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    const bool yesNo = buttons == Buttons::YesNo;
    QMessageBox box(boxIcon(icon), title, text, yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    m_parent);
    if (yesNo) {
        box.setDefaultButton(QMessageBox::Yes);
        // Closing the box with Escape or its close button counts as No.
        box.setEscapeButton(QMessageBox::No);
    }
    const int pressed = box.exec();
    if (!yesNo) return Answer::Ok;
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtPrompts::openFileName(const QString &title, const QString &directory, const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, title, directory, filter);
}

QString QtPrompts::saveFileName(const QString &title, const QString &suggestedPath, const QString &filter)
{
    return QFileDialog::getSaveFileName(m_parent, title, suggestedPath, filter);
}

std::optional<QColor> QtPrompts::chooseColor(const QColor &initial, const QString &title)
{
    const QColor chosen = QColorDialog::getColor(initial, m_parent, title);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

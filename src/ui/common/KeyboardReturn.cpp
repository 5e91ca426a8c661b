#include "ui/common/KeyboardReturn.h"

#include <QApplication>

void KeyboardReturn::note(QWidget *fallback)
{
    m_window = QApplication::activeWindow() ? QApplication::activeWindow() : fallback;
    m_focus = QApplication::focusWidget();
}

void KeyboardReturn::giveBack() const
{
    if (m_window) m_window->activateWindow();
    if (m_focus) m_focus->setFocus(Qt::OtherFocusReason);
}

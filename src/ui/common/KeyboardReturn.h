#pragma once
#include <QPointer>
#include <QWidget>

// A window that only passes (the progress window, the port scan) must give the keyboard back
// when it hides: the window system may activate it only after it is hidden again, and the
// frame would then take no keys until a control is clicked.
class KeyboardReturn
{
public:
    // Notes the active window (else `fallback`) and the focused control, before the passing
    // window shows.
    void note(QWidget *fallback);
    // Activates the noted window and focuses the noted control, after it hides.
    void giveBack() const;

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focus;
};

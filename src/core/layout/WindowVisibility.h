#pragma once
#include <QObject>
#include <array>

// The four child windows of the frame.
enum class ChildWindow { Table, Monitor, Graph, Power };
constexpr int ChildWindowCount = 4;

// Which child windows are shown. The View menu's check marks and the windows follow it.
class WindowVisibility : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    bool isShown(ChildWindow window) const { return m_shown[index(window)]; }
    void setShown(ChildWindow window, bool shown)
    {
        if (m_shown[index(window)] == shown) return;
        m_shown[index(window)] = shown;
        Q_EMIT visibilityChanged(window, shown);
    }

Q_SIGNALS:
    void visibilityChanged(ChildWindow window, bool shown);

private:
    static int index(ChildWindow window) { return int(window); }
    std::array<bool, ChildWindowCount> m_shown{};
};

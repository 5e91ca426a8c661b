#pragma once
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// A desktop of its own for a test: an Xvfb server on a free display number with the openbox
// window manager, driven as a user drives it (xdotool) and read through the window manager
// (wmctrl) and the screen (ImageMagick's import). Stopped on destruction.
class DesktopDisplay
{
public:
    DesktopDisplay() = default;
    ~DesktopDisplay();
    DesktopDisplay(const DesktopDisplay &) = delete;
    DesktopDisplay &operator=(const DesktopDisplay &) = delete;

    // The first of the programs it needs that is not installed, "" when all are.
    static QString missingTool();
    // Starts the server and the window manager; false with errorString() when either fails.
    bool start();
    void stop();
    QString errorString() const { return m_error; }

    // `base` for a program shown on this display (not offscreen).
    QProcessEnvironment environment(QProcessEnvironment base) const;

    // The window manager's windows of that title, by id.
    QStringList windowIds(const QString &title) const;
    QString activeTitle() const;
    // The active window's client area on the screen.
    QRect activeGeometry() const;
    void key(const QString &keys) const;
    void type(const QString &text) const;
    void click(const QPoint &at) const;
    QImage screenshot() const;

private:
    bool startOnce();
    QByteArray run(const QString &tool, const QStringList &arguments) const;

    QProcess m_server;
    QProcess m_manager;
    QString m_display;
    QString m_error;
};

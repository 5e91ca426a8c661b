#include "support/DesktopDisplay.h"

#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace
{

constexpr int StartMs = 15000;
constexpr int ToolMs = 10000;

void end(QProcess &process)
{
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

DesktopDisplay::~DesktopDisplay()
{
    stop();
}

QString DesktopDisplay::missingTool()
{
    for (const char *tool : {"Xvfb", "openbox", "xdotool", "wmctrl", "xwininfo", "import"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) return QLatin1String(tool);
    return {};
}

bool DesktopDisplay::start()
{
    // Now and then openbox never manages a fresh server (no error, no window manager's
    // properties); a second server and manager do.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (startOnce()) return true;
        stop();
    }
    return false;
}

bool DesktopDisplay::startOnce()
{
    // The server picks a free display number itself and writes it to the descriptor given.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
    if (!QTest::qWaitFor(
            [this] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; }, StartMs) ||
        !m_server.canReadLine()) {
        m_error =
            QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(m_server.readAllStandardError());
        return false;
    }
    m_display = u':' + QString::fromLatin1(m_server.readLine()).trimmed();
    m_manager.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    m_manager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QProcess probe;
    probe.setProcessEnvironment(m_manager.processEnvironment());
    const bool managed = QTest::qWaitFor(
        [&probe] {
            probe.start(QStringLiteral("wmctrl"), {QStringLiteral("-m")});
            return probe.waitForFinished(ToolMs) && probe.exitCode() == 0;
        },
        StartMs);
    if (!managed)
        m_error = QStringLiteral("openbox did not start on ") + m_display + QStringLiteral(": ") +
                  QString::fromLocal8Bit(m_manager.readAllStandardError() + probe.readAllStandardError());
    return managed;
}

void DesktopDisplay::stop()
{
    end(m_manager);
    end(m_server);
}

QProcessEnvironment DesktopDisplay::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DISPLAY"), m_display);
    base.remove(QStringLiteral("QT_QPA_PLATFORM"));
    base.remove(QStringLiteral("QT_SCALE_FACTOR"));
    // Debian 12's libxkbcommon-x11 hands strndup an unterminated name as the first window
    // connects: strict string checks would stop a sanitized program there, in a system library.
    QString sanitizer = base.value(QStringLiteral("ASAN_OPTIONS"));
    sanitizer.replace(QStringLiteral("strict_string_checks=1"), QStringLiteral("strict_string_checks=0"));
    if (!sanitizer.isEmpty()) base.insert(QStringLiteral("ASAN_OPTIONS"), sanitizer);
    return base;
}

QByteArray DesktopDisplay::run(const QString &tool, const QStringList &arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    process.start(tool, arguments);
    if (!process.waitForFinished(ToolMs)) process.kill();
    return process.readAllStandardOutput();
}

QStringList DesktopDisplay::windowIds(const QString &title) const
{
    // "<id> <desktop> <host> <title>" a line.
    QStringList ids;
    for (const QByteArray &line : run(QStringLiteral("wmctrl"), {QStringLiteral("-l")}).split('\n'))
        if (const QString window = QString::fromUtf8(line).simplified(); window.section(u' ', 3) == title)
            ids << window.section(u' ', 0, 0);
    return ids;
}

QString DesktopDisplay::activeTitle() const
{
    return QString::fromUtf8(run(QStringLiteral("xdotool"),
                                 {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}))
        .trimmed();
}

QRect DesktopDisplay::activeGeometry() const
{
    // xdotool and wmctrl count the window manager's frame twice; xwininfo tells the place.
    const QString window =
        QString::fromLatin1(run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}));
    const QString info =
        QString::fromLatin1(run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window.trimmed()}));
    const auto field = [&info](const QString &name) {
        const QRegularExpressionMatch match =
            QRegularExpression(name + QStringLiteral(":\\s+(-?\\d+)")).match(info);
        return match.captured(1).toInt();
    };
    return {field(QStringLiteral("Absolute upper-left X")), field(QStringLiteral("Absolute upper-left Y")),
            field(QStringLiteral("Width")), field(QStringLiteral("Height"))};
}

void DesktopDisplay::key(const QString &keys) const
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60"), keys});
}

void DesktopDisplay::type(const QString &text) const
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

void DesktopDisplay::click(const QPoint &at) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()),
                                    QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
}

QImage DesktopDisplay::screenshot() const
{
    return QImage::fromData(run(QStringLiteral("import"),
                                {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")}),
                            "PNG");
}

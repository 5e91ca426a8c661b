#pragma once
#include <QProcessEnvironment>
#include <QString>

// The environment for running the real program in a test: its home, settings and per-user data
// inside `folder`, so that no run reads or leaves files of the user's.
inline QProcessEnvironment isolatedProgramEnvironment(const QString &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), folder);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/data"));
    return env;
}

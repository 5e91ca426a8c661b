#include "core/session/StartupFaults.h"

#include <QCoreApplication>

#include <QDir>
#include <utility>

#include "core/common/Prompts.h"

void StartupFaults::noteSettings(const SettingsStore &store)
{
    const QString file = QDir::toNativeSeparators(store.fileName());
    switch (store.readFault()) {
    case SettingsStore::ReadFault::Unreadable:
        note(QCoreApplication::translate(
                 "StartupFaults", "Cannot read the settings file %1. Voltrix uses its default settings.")
                 .arg(file));
        break;
    case SettingsStore::ReadFault::Damaged:
        note(QCoreApplication::translate(
                 "StartupFaults",
                 "The settings file %1 is damaged. Voltrix uses the default of every setting it "
                 "cannot read.")
                 .arg(file));
        break;
    case SettingsStore::ReadFault::None:
        break;
    }
}

void StartupFaults::noteLabelFile(const Measurement::LabelFile &file, const QString &path)
{
    if (file.status != Measurement::LabelFile::Status::Unreadable) return;
    note(QCoreApplication::translate(
             "StartupFaults", "Cannot read the label file %1 as text. The window title shows no label.")
             .arg(QDir::toNativeSeparators(path)));
}

void StartupFaults::tell(Prompts &prompts)
{
    const QStringList texts = std::exchange(m_untold, {});
    for (const QString &text : texts) {
        m_told.insert(text);
        prompts.message(text, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
    }
}

void StartupFaults::note(const QString &text)
{
    if (!m_told.contains(text) && !m_untold.contains(text)) m_untold << text;
}

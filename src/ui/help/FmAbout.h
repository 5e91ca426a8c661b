#pragma once
#include <QDialog>
#include <functional>
#include <optional>

class Prompts;
class QLabel;

// The About box: title, version, the system language ID and the program's icon, with a
// button that shows the system information as text the user can copy.
class FmAbout : public QDialog
{
    Q_OBJECT
public:
    // `systemInfo` gives the report, or nothing when the system told nothing about itself.
    using SystemInfoSource = std::function<std::optional<QString>()>;
    FmAbout(int languageId, const QIcon &icon, SystemInfoSource systemInfo, Prompts &prompts,
            QWidget *parent = nullptr);

    // "&System Info...": the report in a dialog, or the message that none is available.
    void showSystemInfo();

private:
    SystemInfoSource m_systemInfo;
    Prompts &m_prompts;
};

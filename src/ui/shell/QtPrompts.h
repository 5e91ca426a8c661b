#pragma once
#include <QPointer>
#include <QWidget>

#include "core/common/Prompts.h"

class SettingsStore;

// The program's questions as real message boxes, file and colour dialogs, centred on the frame once
// it exists. The file dialogs open in the folder last used, noted in `folders`.
class QtPrompts final : public Prompts
{
public:
    explicit QtPrompts(QWidget *dialogParent = nullptr, SettingsStore *folders = nullptr)
        : m_parent(dialogParent), m_folders(folders)
    {
    }
    void setDialogParent(QWidget *parent) { m_parent = parent; }

    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    QString openFileName(const QString &title, const QString &directory, const QString &filter) override;
    // The name as it will be written (its suffix by the chosen filter), asked about before an
    // existing file of that name is replaced; No returns to the dialog.
    QString saveFileName(const QString &title, const QString &suggestedPath, const QString &filter) override;
    std::optional<QColor> chooseColor(const QColor &initial, const QString &title) override;

private:
    QPointer<QWidget> m_parent;
    SettingsStore *m_folders;
};

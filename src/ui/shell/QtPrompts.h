#pragma once
#include <QPointer>
#include <QWidget>

#include "core/common/Prompts.h"

// The program's questions as real message boxes, file and colour dialogs, centred on the frame once
// it exists.
class QtPrompts final : public Prompts
{
public:
    explicit QtPrompts(QWidget *dialogParent = nullptr) : m_parent(dialogParent) {}
    void setDialogParent(QWidget *parent) { m_parent = parent; }

    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    QString openFileName(const QString &title, const QString &directory, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &suggestedPath, const QString &filter) override;
    std::optional<QColor> chooseColor(const QColor &initial, const QString &title) override;

private:
    QPointer<QWidget> m_parent;
};

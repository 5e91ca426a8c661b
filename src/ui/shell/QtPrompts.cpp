#include "ui/shell/QtPrompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "core/common/SaveFileNames.h"
#include "core/settings/SaveFolder.h"
#include "ui/common/ReplaceQuestion.h"

namespace
{

QMessageBox::Icon boxIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Critical:
        return QMessageBox::Critical;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Prompts::Answer QtPrompts::message(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    if (buttons == Buttons::YesNo) shown = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel) shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(boxIcon(icon), title, text, shown, m_parent);
    if (buttons != Buttons::Ok) {
        box.setDefaultButton(QMessageBox::Yes);
        // Closing the box with Escape or its close button takes the harmless way out.
        box.setEscapeButton(buttons == Buttons::YesNo ? QMessageBox::No : QMessageBox::Cancel);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

QString QtPrompts::openFileName(const QString &title, const QString &directory, const QString &filter)
{
    const QString start = m_folders ? SaveFolder::startFolder(*m_folders, directory) : directory;
    const QString chosen = QFileDialog::getOpenFileName(m_parent, title, start, filter);
    if (m_folders && !chosen.isEmpty()) SaveFolder::remember(*m_folders, chosen);
    return chosen;
}

QString QtPrompts::saveFileName(const QString &title, const QString &suggestedPath, const QString &filter)
{
    QFileDialog dialog(m_parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog would ask about the name as typed; the question is asked below on the final one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    const QFileInfo start(m_folders ? SaveFolder::startPath(*m_folders, suggestedPath) : suggestedPath);
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        const QString path =
            SaveFileNames::finalName(dialog.selectedFiles().constFirst(), filter,
                                     int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())));
        if (!QFileInfo::exists(path) || confirmReplace(&dialog, title, path)) {
            if (m_folders) SaveFolder::remember(*m_folders, path);
            return path;
        }
        dialog.selectFile(QFileInfo(path).fileName());
    }
}

std::optional<QColor> QtPrompts::chooseColor(const QColor &initial, const QString &title)
{
    const QColor chosen = QColorDialog::getColor(initial, m_parent, title);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

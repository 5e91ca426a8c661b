#include "ui/common/ReplaceQuestion.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

bool confirmReplace(QWidget *parent, const QString &title, const QString &path)
{
    const QString question =
        QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName());
    return QMessageBox::warning(parent, title, question, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

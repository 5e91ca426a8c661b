#include "ui/power/FmPower.h"

#include <QLabel>
#include <QVBoxLayout>

FmPower::FmPower(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FmPower"));
    setWindowTitle(QStringLiteral("Electric Power Cost Monitor"));
    auto *placeholder = new QLabel(QStringLiteral("Electric Power Cost Monitor"), this);
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(placeholder);
}

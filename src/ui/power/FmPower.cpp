#include "ui/power/FmPower.h"

#include <QLabel>
#include <QVBoxLayout>

FmPower::FmPower(Session &session, QWidget *parent) : QWidget(parent), m_session(session)
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

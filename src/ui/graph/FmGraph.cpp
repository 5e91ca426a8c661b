#include "ui/graph/FmGraph.h"

#include <QLabel>
#include <QVBoxLayout>

FmGraph::FmGraph(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FmGraph"));
    setWindowTitle(QStringLiteral("Graph"));
    auto *placeholder = new QLabel(QStringLiteral("Graph"), this);
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(placeholder);
}

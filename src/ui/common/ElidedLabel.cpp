#include "ui/common/ElidedLabel.h"

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent) : QLabel(parent)
{
    // Its width is what the layout leaves, never what the text asks for.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setMinimumWidth(1);
    setFullText(text);
}

void ElidedLabel::setFullText(const QString &text)
{
    m_full = text;
    refit();
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    refit();
}

void ElidedLabel::refit()
{
    const QString shown = fontMetrics().elidedText(m_full, Qt::ElideRight, contentsRect().width());
    setText(shown);
    setToolTip(shown == m_full ? QString() : m_full);
}

#include "ui/shell/FmLoading.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

FmLoading::FmLoading(QWidget *parent)
    : QDialog(parent), m_label(new QLabel(this)), m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("FmLoading"));
    m_label->setObjectName(QStringLiteral("Label1"));
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    // Not modal: nothing reaches the frame while it shows (the work holds the event loop), and
    // under a window manager Qt made a modal one, shown and hidden within one quick save, its
    // keyboard window once the window system's events came in: the frame then took no keys.
    setMinimumWidth(320);
}

void FmLoading::showProgress(const QString &caption, const QString &label, int maximum)
{
    setWindowTitle(caption);
    m_label->setText(label);
    m_bar->setRange(0, std::max(0, maximum));
    m_bar->setValue(0);
    m_step = std::max(1, maximum / 100);
    m_keyboard.note(window()->parentWidget());
    show();
    repaint();
}

void FmLoading::setProgress(int value)
{
    m_bar->setValue(value);
    if (value % m_step == 0 && isVisible()) repaint();
}

void FmLoading::closeProgress()
{
    hide();
    m_keyboard.giveBack();
}

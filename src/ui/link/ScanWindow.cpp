#include "ui/link/ScanWindow.h"

#include <QLabel>
#include <cmath>

#include "core/layout/LayoutRule.h"
#include "core/link/LinkProber.h"
#include "ui/shell/UiResources.h"

namespace
{

constexpr double DotsTop = 780;

} // namespace

ScanWindow::ScanWindow(LinkProber &prober, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_prober(prober),
      m_dots(new QLabel(this))
{
    setObjectName(QStringLiteral("fmseport"));
    setWindowTitle(tr("Scan com port"));
    setFixedSize(toPixelsX(WidthTwips), toPixelsY(HeightTwips));

    auto *title = new QLabel(tr("Link up"), this);
    title->setObjectName(QStringLiteral("Label2"));
    title->setGeometry(toPixelsX(1080), toPixelsY(240), toPixelsX(2200), toPixelsY(360));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(UiResources::icon(QStringLiteral("connect")).pixmap(64, 64));
    picture->setScaledContents(true);
    picture->setGeometry(toPixelsX(240), toPixelsY(300), toPixelsX(600), toPixelsY(600));

    m_dots->setObjectName(QStringLiteral("Label1"));
    m_dots->setText(QStringLiteral("......."));
    QFont font = m_dots->font();
    font.setBold(true);
    m_dots->setFont(font);
    m_dots->resize(toPixelsX(1200), toPixelsY(360));
    moveProgress(m_prober.labelLeft());

    connect(&prober, &LinkProber::scanShown, this, &ScanWindow::showScan);
    connect(&prober, &LinkProber::progressMoved, this, &ScanWindow::moveProgress);
    connect(&prober, &LinkProber::scanClosed, this, &ScanWindow::closeScan);
}

void ScanWindow::showScan()
{
    moveProgress(m_prober.labelLeft());
    m_keyboard.note(parentWidget());
    show();
    raise();
}

void ScanWindow::closeScan()
{
    hide();
    m_keyboard.giveBack();
}

void ScanWindow::moveProgress(int leftTwips)
{
    m_dots->move(toPixelsX(leftTwips), toPixelsY(DotsTop));
}

int ScanWindow::toPixelsX(double twips) const
{
    return int(std::lround(LayoutRule::twipsToPixels(twips, logicalDpiX())));
}

int ScanWindow::toPixelsY(double twips) const
{
    return int(std::lround(LayoutRule::twipsToPixels(twips, logicalDpiY())));
}

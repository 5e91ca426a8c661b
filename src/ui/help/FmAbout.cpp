#include "ui/help/FmAbout.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/common/Prompts.h"
#include "core/help/AboutBox.h"

namespace
{

constexpr int IconSize = 48;

QLabel *label(const QString &text, const QString &name, QWidget *parent)
{
    auto *field = new QLabel(text, parent);
    field->setObjectName(name);
    return field;
}

} // namespace

FmAbout::FmAbout(int languageId, const QIcon &icon, SystemInfoSource systemInfo, Prompts &prompts,
                 QWidget *parent)
    : QDialog(parent), m_systemInfo(std::move(systemInfo)), m_prompts(prompts)
{
    setObjectName(QStringLiteral("FmAbout"));
    setWindowTitle(AboutBox::caption());
    setWindowIcon(icon);

    auto *picture = label(QString(), QStringLiteral("picIcon"), this);
    picture->setPixmap(icon.pixmap(IconSize, IconSize));
    auto *title = label(AboutBox::applicationTitle(), QStringLiteral("lblTitle"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto *version = label(AboutBox::versionText(), QStringLiteral("lblVersion"), this);
    auto *languageCaption = label(AboutBox::languageLabel(), QStringLiteral("Label1(0)"), this);
    auto *languageValue = label(AboutBox::languageIdText(languageId), QStringLiteral("Label1(1)"), this);

    auto *ok = new QPushButton(AboutBox::okButton(), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *sysInfo = new QPushButton(AboutBox::systemInfoButton(), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    sysInfo->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &FmAbout::showSystemInfo);

    auto *grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1, 1, 2);
    grid->addWidget(version, 1, 1, 1, 2);
    grid->addWidget(languageCaption, 2, 1);
    grid->addWidget(languageValue, 2, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowMinimumHeight(3, 16);
    grid->addWidget(ok, 4, 2, Qt::AlignRight);
    grid->addWidget(sysInfo, 5, 2, Qt::AlignRight);
}

void FmAbout::showSystemInfo()
{
    const std::optional<QString> report = m_systemInfo ? m_systemInfo() : std::nullopt;
    if (!report) {
        m_prompts.message(AboutBox::systemInfoUnavailable(), AboutBox::applicationTitle(),
                          Prompts::Buttons::Ok, Prompts::Icon::None);
        return;
    }
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SystemInfo"));
    dialog.setWindowTitle(tr("System Information"));
    auto *text = new QPlainTextEdit(*report, &dialog);
    text->setObjectName(QStringLiteral("SystemInfoText"));
    // Read-only, but selectable and copyable for a support request.
    text->setReadOnly(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(560, 420);
    dialog.exec();
}

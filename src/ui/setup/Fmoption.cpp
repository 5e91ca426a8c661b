#include "ui/setup/Fmoption.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/commands/OptionsProcedures.h"
#include "core/common/Prompts.h"
#include "core/common/StoredColor.h"
#include "core/record/GridStyle.h"
#include "ui/setup/ColorSwatch.h"

Fmoption::Fmoption(OptionsProcedures &procedures, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_procedures(procedures), m_prompts(prompts), m_form(procedures.load())
{
    setObjectName(QStringLiteral("Fmoption"));
    setWindowTitle(tr("Option"));
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    render();
}

template <typename T> T *Fmoption::named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    m_controls.insert(name, widget);
    return widget;
}

QCheckBox *Fmoption::checkBox(QWidget *parent, const QString &caption, const QString &name, OptionCheck check)
{
    auto *box = named(new QCheckBox(caption, parent), name);
    m_checks.emplace(check, box);
    connect(box, &QCheckBox::clicked, this, [this, check](bool checked) {
        m_form.click(check, checked);
        render();
    });
    return box;
}

void Fmoption::colourRow(QGridLayout *grid, int row, const QString &caption, const NamedCheck &check,
                         const NamedSwatch &colour)
{
    QWidget *tab = grid->parentWidget();
    grid->addWidget(checkBox(tab, caption, check.name, check.check), row, 0);
    grid->addWidget(swatch(tab, colour.name, colour.swatch, caption.trimmed()), row, 1);
}

ColorSwatch *Fmoption::swatch(QWidget *parent, const QString &name, OptionSwatch which, const QString &title)
{
    auto *field = named(new ColorSwatch(parent), name);
    m_swatches.emplace(which, field);
    connect(field, &ColorSwatch::clicked, this, [this, which, title] { pick(which, title); });
    return field;
}

QWidget *Fmoption::defaultButton(QWidget *parent, const QString &name, OptionsTab tab)
{
    auto *button = named(new QPushButton(tr("Default"), parent), name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, tab] {
        m_form.restoreDefaults(tab);
        render();
    });
    return button;
}

void Fmoption::build()
{
    auto *tabs = named(new QTabWidget(this), QStringLiteral("SSTab1"));

    auto *monitor = new QWidget(tabs);
    auto *monitorGrid = new QGridLayout(monitor);
    colourRow(monitorGrid, 0, tr("Display value fore color"),
              {QStringLiteral("Check3(5)"), OptionCheck::DisplayValueForeColor},
              {QStringLiteral("Picture1(0)"), OptionSwatch::DisplayValueForeColor});
    colourRow(monitorGrid, 1, tr("Display back color"),
              {QStringLiteral("Check3(4)"), OptionCheck::DisplayBackColor},
              {QStringLiteral("Picture1(1)"), OptionSwatch::DisplayBackColor});
    monitorGrid->setRowStretch(2, 1);
    monitorGrid->addWidget(defaultButton(monitor, QStringLiteral("Command3(2)"), OptionsTab::Monitor), 3, 1);
    tabs->addTab(monitor, tr("Monitor"));

    auto *graph = new QWidget(tabs);
    auto *graphGrid = new QGridLayout(graph);
    colourRow(graphGrid, 0, tr("Graph back color  "),
              {QStringLiteral("Check2(0)"), OptionCheck::GraphBackColor},
              {QStringLiteral("Picture2(0)"), OptionSwatch::GraphBackColor});
    colourRow(graphGrid, 1, tr("Scale color"), {QStringLiteral("Check2(1)"), OptionCheck::ScaleColor},
              {QStringLiteral("Picture2(1)"), OptionSwatch::ScaleColor});
    graphGrid->addWidget(
        checkBox(graph, tr("Graph  Title :"), QStringLiteral("Check2(3)"), OptionCheck::GraphTitle), 2, 0);
    m_title = named(new QLineEdit(graph), QStringLiteral("Text1"));
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_form.titleEdited(text);
        render();
    });
    graphGrid->addWidget(m_title, 2, 1);
    graphGrid->setRowStretch(3, 1);
    graphGrid->addWidget(defaultButton(graph, QStringLiteral("Command3(1)"), OptionsTab::Graph), 4, 1);
    tabs->addTab(graph, tr("Graph"));

    auto *table = new QWidget(tabs);
    auto *tableGrid = new QGridLayout(table);
    tableGrid->addWidget(
        checkBox(table, tr("Grid Lines"), QStringLiteral("Check1(0)"), OptionCheck::GridLines), 0, 0);
    auto *styles = new QVBoxLayout;
    styles->setContentsMargins(24, 0, 0, 0);
    styles->addWidget(checkBox(table, tr("GridFlat"), QStringLiteral("Check1(1)"), OptionCheck::GridFlat));
    styles->addWidget(checkBox(table, tr("GridInset"), QStringLiteral("Check1(2)"), OptionCheck::GridInset));
    styles->addWidget(
        checkBox(table, tr("GridRaised"), QStringLiteral("Check1(3)"), OptionCheck::GridRaised));
    tableGrid->addLayout(styles, 1, 0);
    colourRow(tableGrid, 2, tr("Data Row Back Color"),
              {QStringLiteral("Check4"), OptionCheck::DataRowBackColor},
              {QStringLiteral("Picture3"), OptionSwatch::DataRowBackColor});
    tableGrid->setRowStretch(3, 1);
    tableGrid->addWidget(defaultButton(table, QStringLiteral("Command3(0)"), OptionsTab::Table), 4, 1);
    tabs->addTab(table, tr("Table"));

    auto *okButton = named(new QPushButton(tr("OK"), this), QStringLiteral("Command1"));
    auto *cancelButton = named(new QPushButton(tr("Cancel"), this), QStringLiteral("Command2"));
    okButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    connect(okButton, &QPushButton::clicked, this, &Fmoption::ok);
    connect(cancelButton, &QPushButton::clicked, this, &Fmoption::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(languageRow());
    layout->addLayout(buttons);
    resize(420, 300);
}

QLayout *Fmoption::languageRow()
{
    m_language = named(new QComboBox(this), QStringLiteral("Language"));
    // Each language under its own name, so that a user who cannot read the current one finds theirs.
    m_language->addItem(tr("System language"), QString());
    m_language->addItem(QStringLiteral("English"), QStringLiteral("en"));
    m_language->addItem(QStringLiteral(u"日本語"), QStringLiteral("ja"));
    m_language->addItem(QStringLiteral(u"中文（台灣）"), QStringLiteral("zh_TW"));
    m_language->setCurrentIndex(std::max(0, m_language->findData(m_procedures.language())));
    auto *caption = new QLabel(tr("Language :"), this);
    caption->setBuddy(m_language);
    auto *row = new QGridLayout;
    row->addWidget(caption, 0, 0);
    row->addWidget(m_language, 0, 1);
    row->addWidget(new QLabel(tr("A new language takes effect at the next start."), this), 1, 0, 1, 2);
    row->setColumnStretch(1, 1);
    return row;
}

void Fmoption::render()
{
    for (const auto &[check, box] : m_checks) {
        box->setChecked(m_form.isChecked(check));
        box->setEnabled(m_form.isEnabled(check));
    }
    for (const auto &[which, field] : m_swatches)
        field->setColor(colorFromStored(m_form.color(which)));
    m_title->setEnabled(m_form.titleEnabled());
    if (m_title->text() != m_form.values().Graph_MainTitle) m_title->setText(m_form.values().Graph_MainTitle);
}

void Fmoption::pick(OptionSwatch which, const QString &title)
{
    if (!m_form.canPick(which)) return;
    const std::optional<QColor> chosen = m_prompts.chooseColor(colorFromStored(m_form.color(which)), title);
    m_form.colorPicked(which, chosen ? std::optional<qint32>(storedFromColor(*chosen)) : std::nullopt);
    render();
}

void Fmoption::ok()
{
    m_procedures.ok(m_form.ok());
    m_procedures.setLanguage(m_language->currentData().toString());
    accept();
}

#include "ui/setup/Fmoption.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/common/StoredColor.h"
#include "core/common/Prompts.h"
#include "core/views/OptionsProcedures.h"
#include "core/table/GridStyle.h"
#include "ui/setup/ColorSwatch.h"

Fmoption::Fmoption(OptionsProcedures &procedures, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_procedures(procedures), m_prompts(prompts), m_form(procedures.load())
{
    setObjectName(QStringLiteral("Fmoption"));
    setWindowTitle(QStringLiteral("Option"));
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
    auto *button = named(new QPushButton(QStringLiteral("Default"), parent), name);
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
    colourRow(monitorGrid, 0, QStringLiteral("Display value fore color"),
              {QStringLiteral("Check3(5)"), OptionCheck::DisplayValueForeColor},
              {QStringLiteral("Picture1(0)"), OptionSwatch::DisplayValueForeColor});
    colourRow(monitorGrid, 1, QStringLiteral("Display back color"),
              {QStringLiteral("Check3(4)"), OptionCheck::DisplayBackColor},
              {QStringLiteral("Picture1(1)"), OptionSwatch::DisplayBackColor});
    monitorGrid->setRowStretch(2, 1);
    monitorGrid->addWidget(defaultButton(monitor, QStringLiteral("Command3(2)"), OptionsTab::Monitor), 3, 1);
    tabs->addTab(monitor, QStringLiteral("Monitor"));

    auto *graph = new QWidget(tabs);
    auto *graphGrid = new QGridLayout(graph);
    colourRow(graphGrid, 0, QStringLiteral("Graph back color  "),
              {QStringLiteral("Check2(0)"), OptionCheck::GraphBackColor},
              {QStringLiteral("Picture2(0)"), OptionSwatch::GraphBackColor});
    colourRow(graphGrid, 1, QStringLiteral("Scale color"),
              {QStringLiteral("Check2(1)"), OptionCheck::ScaleColor},
              {QStringLiteral("Picture2(1)"), OptionSwatch::ScaleColor});
    graphGrid->addWidget(checkBox(graph, QStringLiteral("Graph  Title :"), QStringLiteral("Check2(3)"),
                                  OptionCheck::GraphTitle),
                         2, 0);
    m_title = named(new QLineEdit(graph), QStringLiteral("Text1"));
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_form.titleEdited(text);
        render();
    });
    graphGrid->addWidget(m_title, 2, 1);
    graphGrid->setRowStretch(3, 1);
    graphGrid->addWidget(defaultButton(graph, QStringLiteral("Command3(1)"), OptionsTab::Graph), 4, 1);
    tabs->addTab(graph, QStringLiteral("Graph"));

    auto *table = new QWidget(tabs);
    auto *tableGrid = new QGridLayout(table);
    tableGrid->addWidget(
        checkBox(table, QStringLiteral("Grid Lines"), QStringLiteral("Check1(0)"), OptionCheck::GridLines), 0,
        0);
    auto *styles = new QVBoxLayout;
    styles->setContentsMargins(24, 0, 0, 0);
    styles->addWidget(
        checkBox(table, QStringLiteral("GridFlat"), QStringLiteral("Check1(1)"), OptionCheck::GridFlat));
    styles->addWidget(
        checkBox(table, QStringLiteral("GridInset"), QStringLiteral("Check1(2)"), OptionCheck::GridInset));
    styles->addWidget(
        checkBox(table, QStringLiteral("GridRaised"), QStringLiteral("Check1(3)"), OptionCheck::GridRaised));
    tableGrid->addLayout(styles, 1, 0);
    colourRow(tableGrid, 2, QStringLiteral("Data Row Back Color"),
              {QStringLiteral("Check4"), OptionCheck::DataRowBackColor},
              {QStringLiteral("Picture3"), OptionSwatch::DataRowBackColor});
    tableGrid->setRowStretch(3, 1);
    tableGrid->addWidget(defaultButton(table, QStringLiteral("Command3(0)"), OptionsTab::Table), 4, 1);
    tabs->addTab(table, QStringLiteral("Table"));

    auto *okButton = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("Command1"));
    auto *cancelButton = named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("Command2"));
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
    layout->addLayout(buttons);
    resize(420, 300);
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
    const std::optional<QColor> chosen =
        m_prompts.chooseColor(colorFromStored(m_form.color(which)), title);
    m_form.colorPicked(which,
                       chosen ? std::optional<qint32>(storedFromColor(*chosen)) : std::nullopt);
    render();
}

void Fmoption::ok()
{
    m_procedures.ok(m_form.ok());
    accept();
}

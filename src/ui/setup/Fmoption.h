#pragma once
#include <QDialog>
#include <QHash>
#include <map>

#include "core/setup/OptionsForm.h"

class ColorSwatch;
class OptionsProcedures;
class Prompts;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;

// The Options dialog: the monitor's colours, the graph's colours and title, and the table's
// lines and row colour on three tabs. The form holds the state and its rules; this window
// shows it and forwards every click, pick and edit. Modeless; it deletes itself once closed.
class Fmoption : public QDialog
{
    Q_OBJECT
public:
    Fmoption(OptionsProcedures &procedures, Prompts &prompts, QWidget *parent = nullptr);

    // A control by its name: "SSTab1", "Check3(5)", "Check3(4)", "Check2(0)", "Check2(1)",
    // "Check2(3)", "Check1(0)".."Check1(3)", "Check4", "Picture1(0)", "Picture1(1)",
    // "Picture2(0)", "Picture2(1)", "Picture3", "Text1", "Command1" (OK), "Command2" (Cancel),
    // "Command3(0)".."Command3(2)" (Default of the Table, Graph and Monitor tab), "Language".
    QWidget *control(const QString &name) const { return m_controls.value(name); }
    const OptionsForm &form() const { return m_form; }

private:
    template <typename T> T *named(T *widget, const QString &name);
    QCheckBox *checkBox(QWidget *parent, const QString &caption, const QString &name, OptionCheck check);
    struct NamedCheck {
        QString name;
        OptionCheck check;
    };
    struct NamedSwatch {
        QString name;
        OptionSwatch swatch;
    };
    // A check box and its colour swatch in one row; the colour dialog is titled by the caption.
    void colourRow(QGridLayout *grid, int row, const QString &caption, const NamedCheck &check,
                   const NamedSwatch &colour);
    ColorSwatch *swatch(QWidget *parent, const QString &name, OptionSwatch swatch, const QString &title);
    QWidget *defaultButton(QWidget *parent, const QString &name, OptionsTab tab);
    void build();
    QLayout *languageRow();
    void render();
    void pick(OptionSwatch swatch, const QString &title);
    void ok();

    OptionsProcedures &m_procedures;
    Prompts &m_prompts;
    OptionsForm m_form;
    QHash<QString, QWidget *> m_controls;
    std::map<OptionCheck, QCheckBox *> m_checks;
    std::map<OptionSwatch, ColorSwatch *> m_swatches;
    QLineEdit *m_title = nullptr;
    QComboBox *m_language = nullptr;
};

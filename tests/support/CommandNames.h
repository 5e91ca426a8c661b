#pragma once
#include <QString>

#include "core/commands/CommandState.h"

// The command state looked up by the object names and keys the menus and toolbar give their
// items, as the tests speak of them ("mnrun", "start"). A name of no item fails the test's check.
namespace CommandNames
{

inline MenuItem item(QStringView name)
{
    const auto found = CommandTable::itemNamed(name);
    Q_ASSERT_X(found, "CommandNames::item", "no menu item of that name");
    return found.value_or(MenuItem::Skip);
}

inline ToolbarButton button(QStringView key)
{
    const auto found = CommandTable::buttonWithKey(key);
    Q_ASSERT_X(found, "CommandNames::button", "no toolbar button with that key");
    return found.value_or(ToolbarButton::Help);
}

inline bool isChecked(const CommandState &state, QStringView name)
{
    return state.isChecked(item(name));
}
inline bool isEnabled(const CommandState &state, QStringView name)
{
    return state.isEnabled(item(name));
}
inline bool isButtonEnabled(const CommandState &state, QStringView key)
{
    return state.isEnabled(button(key));
}

} // namespace CommandNames

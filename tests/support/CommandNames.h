#pragma once
#include <QString>

#include "core/commands/CommandState.h"

// The check marks looked up by the object names the menus give their items, as the tests speak
// of them ("mnrun"). A name of no item fails the test's check.
namespace CommandNames
{

inline MenuItem item(QStringView name)
{
    const auto found = CommandTable::itemNamed(name);
    Q_ASSERT_X(found, "CommandNames::item", "no menu item of that name");
    return found.value_or(MenuItem::Skip);
}

inline bool isChecked(const CommandState &state, QStringView name)
{
    return state.isChecked(item(name));
}

} // namespace CommandNames

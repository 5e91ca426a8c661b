#include "core/commands/CommandTable.h"

namespace CommandTable
{

namespace
{

using K = Kind;
using C = Command;
using M = MenuItem;
using B = ToolbarButton;

constexpr std::array<MenuRow, MenuItemCount> menuTable{{
    {M::File, "mnfile", "&File", K::Menu, "", C::None, false, ""},
    {M::Open, "mnopen", "&Open", K::Item, "mnfile", C::Open, false, "Ctrl+O"},
    {M::Separator4, "par4", "", K::Separator, "mnfile", C::None, false, ""},
    {M::Save, "mnsave", "&Save", K::Menu, "mnfile", C::None, false, ""},
    {M::SaveData, "mnSaveData", "Save &Data", K::Item, "mnsave", C::SaveData, false, "Ctrl+S"},
    {M::SaveGraph, "mnsaveBmp", "Save &Graph", K::Item, "mnsave", C::SaveGraph, false, ""},
    {M::Separator5, "par5", "", K::Separator, "mnfile", C::None, false, ""},
    {M::Print, "mnprint", "&Print", K::Menu, "mnfile", C::None, false, ""},
    {M::PrintData, "mnpritab", "Print &Data", K::Item, "mnprint", C::PrintData, false, "Ctrl+P"},
    {M::PrintGraph, "mnPrigr", "Print &Graph", K::Item, "mnprint", C::PrintGraph, false, ""},
    {M::Separator0, "par_0", "", K::Separator, "mnfile", C::None, false, ""},
    {M::Exit, "mnexit", "E&xit", K::Item, "mnfile", C::Exit, false, "Ctrl+Q"},
    {M::Setup, "mnsetup", "&Setup", K::Item, "", C::Setup, false, ""},
    {M::PublishReadings, "mnpublish", "P&ublish readings", K::Item, "", C::PublishReadings, false, ""},
    {M::Edit, "mnedit", "&Edit", K::Menu, "", C::None, false, ""},
    {M::ClearRecord, "mnClear", "&Clear record", K::Item, "mnedit", C::ClearRecord, false, ""},
    {M::View, "mnveiw", "&View", K::Menu, "", C::None, false, ""},
    {M::Table, "mntab", "&Table", K::Item, "mnveiw", C::ShowTable, true, ""},
    {M::Monitor, "mnmo", "&Monitor", K::Item, "mnveiw", C::ShowMonitor, true, ""},
    {M::Graph, "mngr", "&Graph", K::Item, "mnveiw", C::ShowGraph, true, ""},
    {M::Power, "mnpower", "&Electric Power Cost Monitor", K::Item, "mnveiw", C::ShowPower, true, ""},
    {M::Record, "mnrecord", "&Record", K::Menu, "", C::None, false, ""},
    {M::Connect, "mnconnect", "&Connect", K::Item, "mnrecord", C::Connect, true, "F4"},
    {M::Separator2, "par2", "", K::Separator, "mnrecord", C::None, false, ""},
    {M::Start, "mnrun", "&Start", K::Item, "mnrecord", C::Start, true, "F5"},
    {M::Pause, "mnpause", "&Pause", K::Item, "mnrecord", C::Pause, true, "F6"},
    {M::Stop, "mnstop", "S&top", K::Item, "mnrecord", C::Stop, true, "Shift+F5"},
    {M::Options, "mnoption", "&Option", K::Item, "", C::Options, false, ""},
    {M::Window, "mnwindow", "&Window", K::Menu, "", C::None, false, ""},
    {M::Arrange, "mnArr_icons", "&Arr_icons", K::Item, "mnwindow", C::Arrange, true, ""},
    {M::Help, "mnhelp", "&Help", K::Menu, "", C::None, false, ""},
    {M::Manual, "mnVK47", "Voltrix User's &Manual", K::Item, "mnhelp", C::Manual, false, ""},
    {M::HelpDocument, "mnhe", "&Help", K::Item, "mnhelp", C::Help, false, "F1"},
    {M::Separator3, "par_3", "", K::Separator, "mnhelp", C::None, false, ""},
    {M::About, "mnabout", "&About", K::Item, "mnhelp", C::About, false, ""},
    {M::PopSaveData, "pop_SaveData", "Save &Data", K::Item, "pop", C::SaveData, false, ""},
    {M::PopSaveGraph, "pop_SaveGraph", "Save &Graph", K::Item, "pop", C::SaveGraph, false, ""},
    {M::PopPrintData, "pop_PrintData", "Print &Data", K::Item, "pop_print", C::PrintData, false, ""},
    {M::PopPrintGraph, "pop_PrintGraph", "Print &Graph", K::Item, "pop_print", C::PrintGraph, false, ""},
    {M::Skip, "Skip", "Skip", K::Item, "Mblank", C::None, false, ""},
}};

constexpr std::array<ButtonRow, ToolbarButtonCount> buttonTable{{
    {B::Open, "open", "Open", C::Open, ""},
    {B::Save, "save", "Save", C::None, "pop"},
    {B::Print, "print", "Print", C::None, "pop_print"},
    {B::Monitor, "monitor", "Monitor", C::ShowMonitor, ""},
    {B::Grid, "grid", "Table", C::ShowTable, ""},
    {B::Graph, "graph", "Graph", C::ShowGraph, ""},
    {B::Power, "power", "Electric Power Cost Monitor", C::ShowPower, ""},
    {B::Connect, "connect", "Connect", C::Connect, ""},
    {B::Start, "start", "Start", C::Start, ""},
    {B::Pause, "pause", "Pause", C::Pause, ""},
    {B::Stop, "stop", "Stop", C::Stop, ""},
    {B::Help, "help", "Help", C::Help, ""},
}};

// The tables are indexed by their enums: a row out of place is a build error, not a wrong menu.
constexpr bool menuTableInOrder()
{
    for (int i = 0; i < MenuItemCount; ++i)
        if (int(menuTable[i].item) != i) return false;
    return true;
}
constexpr bool buttonTableInOrder()
{
    for (int i = 0; i < ToolbarButtonCount; ++i)
        if (int(buttonTable[i].button) != i) return false;
    return true;
}
static_assert(menuTableInOrder(), "menu rows must follow the MenuItem order");
static_assert(buttonTableInOrder(), "button rows must follow the ToolbarButton order");

} // namespace

const std::array<MenuRow, MenuItemCount> &menuRows()
{
    return menuTable;
}

const std::array<ButtonRow, ToolbarButtonCount> &buttonRows()
{
    return buttonTable;
}

const MenuRow &row(MenuItem item)
{
    return menuTable[std::size_t(item)];
}

const ButtonRow &row(ToolbarButton button)
{
    return buttonTable[std::size_t(button)];
}

QString name(MenuItem item)
{
    return QLatin1String(row(item).name);
}

QString caption(MenuItem item)
{
    return QString(QLatin1String(row(item).caption)).remove(QLatin1Char('&'));
}

std::optional<MenuItem> itemNamed(QStringView name)
{
    for (const MenuRow &r : menuTable)
        if (name == QLatin1String(r.name)) return r.item;
    return std::nullopt;
}

std::optional<ToolbarButton> buttonWithKey(QStringView key)
{
    for (const ButtonRow &r : buttonTable)
        if (key == QLatin1String(r.key)) return r.button;
    return std::nullopt;
}

} // namespace CommandTable

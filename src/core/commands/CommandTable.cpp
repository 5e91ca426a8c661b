#include "core/commands/CommandTable.h"

#include <QCoreApplication>

namespace CommandTable
{

namespace
{

using K = Kind;
using C = Command;
using M = MenuItem;
using B = ToolbarButton;

constexpr std::array<MenuRow, MenuItemCount> menuTable{{
    {M::File, "mnfile", QT_TRANSLATE_NOOP("Menu", "&File"), K::Menu, "", C::None, false, ""},
    {M::Open, "mnopen", QT_TRANSLATE_NOOP("Menu", "&Open"), K::Item, "mnfile", C::Open, false, "Ctrl+O"},
    {M::Separator4, "par4", "", K::Separator, "mnfile", C::None, false, ""},
    {M::Save, "mnsave", QT_TRANSLATE_NOOP("Menu", "&Save"), K::Menu, "mnfile", C::None, false, ""},
    {M::SaveData, "mnSaveData", QT_TRANSLATE_NOOP("Menu", "Save &Data"), K::Item, "mnsave", C::SaveData,
     false, "Ctrl+S"},
    {M::SaveGraph, "mnsaveBmp", QT_TRANSLATE_NOOP("Menu", "Save &Graph"), K::Item, "mnsave", C::SaveGraph,
     false, ""},
    {M::Separator5, "par5", "", K::Separator, "mnfile", C::None, false, ""},
    {M::Print, "mnprint", QT_TRANSLATE_NOOP("Menu", "&Print"), K::Menu, "mnfile", C::None, false, ""},
    {M::PrintData, "mnpritab", QT_TRANSLATE_NOOP("Menu", "Print &Data"), K::Item, "mnprint", C::PrintData,
     false, "Ctrl+P"},
    {M::PrintGraph, "mnPrigr", QT_TRANSLATE_NOOP("Menu", "Print &Graph"), K::Item, "mnprint", C::PrintGraph,
     false, ""},
    {M::Separator0, "par_0", "", K::Separator, "mnfile", C::None, false, ""},
    {M::Exit, "mnexit", QT_TRANSLATE_NOOP("Menu", "E&xit"), K::Item, "mnfile", C::Exit, false, "Ctrl+Q"},
    {M::Setup, "mnsetup", QT_TRANSLATE_NOOP("Menu", "&Setup"), K::Item, "", C::Setup, false, ""},
    {M::PublishReadings, "mnpublish", QT_TRANSLATE_NOOP("Menu", "P&ublish readings"), K::Item, "",
     C::PublishReadings, false, ""},
    {M::Edit, "mnedit", QT_TRANSLATE_NOOP("Menu", "&Edit"), K::Menu, "", C::None, false, ""},
    {M::ClearRecord, "mnClear", QT_TRANSLATE_NOOP("Menu", "&Clear record"), K::Item, "mnedit", C::ClearRecord,
     false, ""},
    {M::View, "mnveiw", QT_TRANSLATE_NOOP("Menu", "&View"), K::Menu, "", C::None, false, ""},
    {M::Table, "mntab", QT_TRANSLATE_NOOP("Menu", "&Table"), K::Item, "mnveiw", C::ShowTable, true, ""},
    {M::Monitor, "mnmo", QT_TRANSLATE_NOOP("Menu", "&Monitor"), K::Item, "mnveiw", C::ShowMonitor, true, ""},
    {M::Graph, "mngr", QT_TRANSLATE_NOOP("Menu", "&Graph"), K::Item, "mnveiw", C::ShowGraph, true, ""},
    {M::Power, "mnpower", QT_TRANSLATE_NOOP("Menu", "&Electric Power Cost Monitor"), K::Item, "mnveiw",
     C::ShowPower, true, ""},
    {M::Separator6, "par6", "", K::Separator, "mnveiw", C::None, false, ""},
    {M::MainChannelView, "mnMainChannel", QT_TRANSLATE_NOOP("Menu", "Main &channel"), K::Item, "mnveiw",
     C::MainChannelView, false, "Ctrl+1"},
    {M::AllChannelsView, "mnAllChannels", QT_TRANSLATE_NOOP("Menu", "&All channels"), K::Item, "mnveiw",
     C::AllChannelsView, false, "Ctrl+2"},
    {M::ZoomIn, "mnZoomIn", QT_TRANSLATE_NOOP("Menu", "Zoom &in"), K::Item, "mnveiw", C::ZoomIn, false,
     "Ctrl++"},
    {M::ZoomOut, "mnZoomOut", QT_TRANSLATE_NOOP("Menu", "Zoom &out"), K::Item, "mnveiw", C::ZoomOut, false,
     "Ctrl+-"},
    {M::WholeRecord, "mnWholeRecord", QT_TRANSLATE_NOOP("Menu", "&Whole record"), K::Item, "mnveiw",
     C::WholeRecord, false, "Ctrl+0"},
    {M::Record, "mnrecord", QT_TRANSLATE_NOOP("Menu", "&Record"), K::Menu, "", C::None, false, ""},
    {M::Connect, "mnconnect", QT_TRANSLATE_NOOP("Menu", "&Connect"), K::Item, "mnrecord", C::Connect, true,
     "F4"},
    {M::Separator2, "par2", "", K::Separator, "mnrecord", C::None, false, ""},
    {M::Start, "mnrun", QT_TRANSLATE_NOOP("Menu", "&Start"), K::Item, "mnrecord", C::Start, true, "F5"},
    {M::Pause, "mnpause", QT_TRANSLATE_NOOP("Menu", "&Pause"), K::Item, "mnrecord", C::Pause, true, "F6"},
    {M::Stop, "mnstop", QT_TRANSLATE_NOOP("Menu", "S&top"), K::Item, "mnrecord", C::Stop, true, "Shift+F5"},
    {M::Options, "mnoption", QT_TRANSLATE_NOOP("Menu", "&Option"), K::Item, "", C::Options, false, ""},
    {M::Window, "mnwindow", QT_TRANSLATE_NOOP("Menu", "&Window"), K::Menu, "", C::None, false, ""},
    {M::Arrange, "mnArr_icons", QT_TRANSLATE_NOOP("Menu", "&Arr_icons"), K::Item, "mnwindow", C::Arrange,
     true, ""},
    {M::Help, "mnhelp", QT_TRANSLATE_NOOP("Menu", "&Help"), K::Menu, "", C::None, false, ""},
    {M::Manual, "mnVK47", QT_TRANSLATE_NOOP("Menu", "Voltrix User's &Manual"), K::Item, "mnhelp", C::Manual,
     false, ""},
    {M::HelpDocument, "mnhe", QT_TRANSLATE_NOOP("Menu", "&Help"), K::Item, "mnhelp", C::Help, false, "F1"},
    {M::Separator3, "par_3", "", K::Separator, "mnhelp", C::None, false, ""},
    {M::About, "mnabout", QT_TRANSLATE_NOOP("Menu", "&About"), K::Item, "mnhelp", C::About, false, ""},
    {M::PopSaveData, "pop_SaveData", QT_TRANSLATE_NOOP("Menu", "Save &Data"), K::Item, "pop", C::SaveData,
     false, ""},
    {M::PopSaveGraph, "pop_SaveGraph", QT_TRANSLATE_NOOP("Menu", "Save &Graph"), K::Item, "pop", C::SaveGraph,
     false, ""},
    {M::PopPrintData, "pop_PrintData", QT_TRANSLATE_NOOP("Menu", "Print &Data"), K::Item, "pop_print",
     C::PrintData, false, ""},
    {M::PopPrintGraph, "pop_PrintGraph", QT_TRANSLATE_NOOP("Menu", "Print &Graph"), K::Item, "pop_print",
     C::PrintGraph, false, ""},
    {M::Skip, "Skip", QT_TRANSLATE_NOOP("Menu", "Skip"), K::Item, "Mblank", C::None, false, ""},
}};

constexpr std::array<ButtonRow, ToolbarButtonCount> buttonTable{{
    {B::Open, "open", QT_TRANSLATE_NOOP("Toolbar", "Open"), C::Open, ""},
    {B::Save, "save", QT_TRANSLATE_NOOP("Toolbar", "Save"), C::None, "pop"},
    {B::Print, "print", QT_TRANSLATE_NOOP("Toolbar", "Print"), C::None, "pop_print"},
    {B::Monitor, "monitor", QT_TRANSLATE_NOOP("Toolbar", "Monitor"), C::ShowMonitor, ""},
    {B::Grid, "grid", QT_TRANSLATE_NOOP("Toolbar", "Table"), C::ShowTable, ""},
    {B::Graph, "graph", QT_TRANSLATE_NOOP("Toolbar", "Graph"), C::ShowGraph, ""},
    {B::Power, "power", QT_TRANSLATE_NOOP("Toolbar", "Electric Power Cost Monitor"), C::ShowPower, ""},
    {B::Connect, "connect", QT_TRANSLATE_NOOP("Toolbar", "Connect"), C::Connect, ""},
    {B::Start, "start", QT_TRANSLATE_NOOP("Toolbar", "Start"), C::Start, ""},
    {B::Pause, "pause", QT_TRANSLATE_NOOP("Toolbar", "Pause"), C::Pause, ""},
    {B::Stop, "stop", QT_TRANSLATE_NOOP("Toolbar", "Stop"), C::Stop, ""},
    {B::Help, "help", QT_TRANSLATE_NOOP("Toolbar", "Help"), C::Help, ""},
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

QString text(MenuItem item)
{
    return QCoreApplication::translate("Menu", row(item).caption);
}

QString caption(MenuItem item)
{
    return text(item).remove(QLatin1Char('&'));
}

QString toolTip(ToolbarButton button)
{
    return QCoreApplication::translate("Toolbar", row(button).toolTip);
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

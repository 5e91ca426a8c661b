#pragma once
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// What the user can ask the program to do, from a menu item or a toolbar button.
enum class Command {
    None,
    Open,
    SaveData,
    SaveGraph,
    PrintData,
    PrintGraph,
    Exit,
    Setup,
    PublishReadings,
    ClearRecord,
    ShowTable,
    ShowMonitor,
    ShowGraph,
    ShowPower,
    Connect,
    Start,
    Pause,
    Stop,
    Options,
    Manual,
    Help,
    About,
    Arrange,
    MainChannelView,
    AllChannelsView,
    ZoomIn,
    ZoomOut,
    WholeRecord,
};
constexpr int CommandCount = int(Command::WholeRecord) + 1;

// Every named entry of the menu bar and the pop-up menus, in menu order.
enum class MenuItem {
    File,
    Open,
    Separator4,
    Save,
    SaveData,
    SaveGraph,
    Separator5,
    Print,
    PrintData,
    PrintGraph,
    Separator0,
    Exit,
    Setup,
    PublishReadings,
    Edit,
    ClearRecord,
    View,
    Table,
    Monitor,
    Graph,
    Power,
    Separator6,
    MainChannelView,
    AllChannelsView,
    ZoomIn,
    ZoomOut,
    WholeRecord,
    Record,
    Connect,
    Separator2,
    Start,
    Pause,
    Stop,
    Options,
    Window,
    Arrange,
    Help,
    Manual,
    HelpDocument,
    Separator3,
    About,
    PopSaveData,
    PopSaveGraph,
    PopPrintData,
    PopPrintGraph,
    Skip,
};
constexpr int MenuItemCount = int(MenuItem::Skip) + 1;

enum class ToolbarButton {
    Open,
    Save,
    Print,
    Monitor,
    Grid,
    Graph,
    Power,
    Connect,
    Start,
    Pause,
    Stop,
    Help
};
constexpr int ToolbarButtonCount = int(ToolbarButton::Help) + 1;

namespace CommandTable
{

enum class Kind { Menu, Item, Separator };

struct MenuRow {
    MenuItem item;
    const char *name;    // the item's object name
    const char *caption; // its text, with the access key marked by '&'
    Kind kind;
    const char *parent; // the object name of its menu or pop-up menu; "" for the menu bar
    Command command;
    bool checkable;
    const char *shortcut; // "" for none
};

struct ButtonRow {
    ToolbarButton button;
    const char *key; // the button's key
    const char *toolTip;
    Command command;   // None for the buttons that open a pop-up menu
    const char *popup; // that pop-up menu's object name
};

// The pop-up menus, which belong to no menu bar entry.
constexpr std::array<const char *, 3> popupMenus{"pop", "pop_print", "Mblank"};

const std::array<MenuRow, MenuItemCount> &menuRows();
const std::array<ButtonRow, ToolbarButtonCount> &buttonRows();

const MenuRow &row(MenuItem item);
const ButtonRow &row(ToolbarButton button);
QString name(MenuItem item);
// The caption in the language of the windows, with the access key marked by '&'.
QString text(MenuItem item);
// The caption as shown, without the access-key mark.
QString caption(MenuItem item);
QString toolTip(ToolbarButton button);
std::optional<MenuItem> itemNamed(QStringView name);
std::optional<ToolbarButton> buttonWithKey(QStringView key);

} // namespace CommandTable

// One description of every window: its caption, client size and controls with their names,
// captions and rectangles in twips (1/1440 inch). Each front end builds its controls from it and
// converts twips with its own screen's resolution, so both show the same window.
#pragma once

#include <span>
#include <string_view>

namespace kelbo::shell {

enum class ControlKind {
    Button,
    Label,     // static text; `autoSize`: as wide as its text, from its top-left corner
    Edit,      // one line of typed text
    TextBox,   // several read-only lines with a vertical scroll bar
    List,      // a list box of lines
    TabStrip,  // the tabs, with the page frame below them
    Picture,   // a sunken box that shows a picture
    Frame,     // a sunken border around other controls
    Panel,     // a plain area in the button face colour, a parent of other controls
    Rule,      // a one-pixel line (the rules under the main window's menu)
    FileList,  // the files of the folder on show that match a pattern
    DirList,   // the folder on show, its parents and its subfolders
    DriveList, // the drives, as a drop-down list
    CheckBox,  // a check box with its caption on the right
    Option,    // a radio button; the options of one window form one group
    ComboBox,  // a drop-down list to choose from, nothing typed
};

// Which key presses the button while no other button has the focus. A focused push button
// always takes Enter itself.
enum class ButtonRole { None, Default, Cancel };

enum class TextColour { Normal, DarkBlue, Red };

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlSpec {
    std::string_view name = {}; // the control's name, as tests and front ends find it
    ControlKind kind = ControlKind::Label;
    std::string_view caption = {}; // UTF-8
    Rect twips = {};               // inside `parent`, or inside the client area when it has none
    std::string_view parent = {};
    ButtonRole role = ButtonRole::None;
    TextColour colour = TextColour::Normal;
    bool bold = false;
    bool underline = false;
    bool autoSize = false;
    // Reached with Tab; controls are listed in Tab order.
    bool tabStop = true;
};

enum class Placement {
    Centred,  // in the middle of the screen
    AtOrigin, // at `origin`, twips from the screen's top-left corner
};

struct WindowSpec {
    std::string_view name = {};
    std::string_view caption = {}; // the first caption; presenters may change it
    int clientWidth = 0;           // twips
    int clientHeight = 0;
    Placement placement = Placement::Centred;
    Rect origin = {}; // left and top only, for AtOrigin
    std::span<const ControlSpec> controls = {};

    // The control named `name`; null when the window has none.
    const ControlSpec* find(std::string_view name) const;
};

// The main window's client area (the menus are below), the item dialogs, the help index,
// a help topic, the about box and the compile log window.
const WindowSpec& mainWindowSpec();
const WindowSpec& fileItemDialogSpec();
const WindowSpec& stringItemDialogSpec();
const WindowSpec& helpIndexSpec();
const WindowSpec& subHelpSpec();
const WindowSpec& aboutSpec();
const WindowSpec& compileLogSpec();
// The Project menu's dialogs.
const WindowSpec& manifestDialogSpec();
const WindowSpec& versionDialogSpec();
const WindowSpec& languagesDialogSpec();

// The main window's menus, in order. A separator has an empty caption.
struct MenuItemSpec {
    std::string_view name = {};
    std::string_view caption = {}; // with "&" before the access key
    bool separator = false;
    bool hidden = false; // shown only once there is something to show (the recent files)
};
struct MenuSpec {
    std::string_view name = {};
    std::string_view caption = {};
    std::span<const MenuItemSpec> items = {};
};
std::span<const MenuSpec> mainMenus();

// The tool tip of each tab of the main window, in the order of the kinds.
std::string_view tabToolTip(int tab);

} // namespace kelbo::shell

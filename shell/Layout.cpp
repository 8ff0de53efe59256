#include "shell/Layout.h"

#include <array>

#include "messages/Captions.h"
#include "messages/HelpTopics.h"

namespace kelbo::shell {

namespace {

using K = ControlKind;
using R = ButtonRole;

constexpr ControlSpec kMainControls[] = {
    {.name = "Line1", .kind = K::Rule, .twips = {0, 0, 6720, 15}, .tabStop = false},
    {.name = "Line2", .kind = K::Rule, .twips = {0, 15, 6720, 15}, .tabStop = false},
    // Keyboard order: the three buttons, then the lists, then the tabs, then the language.
    {"cmdAdd", K::Button, "Add", {5100, 1260, 855, 375}},
    {"cmdModify", K::Button, "Modify", {5100, 1740, 855, 375}},
    {"cmdDelete", K::Button, "Delete", {5100, 2220, 855, 375}},
    {"List0", K::List, "", {240, 1020, 4695, 4350}},
    {"List1", K::List, "", {240, 1020, 4695, 4350}},
    {"List2", K::List, "", {240, 1020, 4695, 4350}},
    {"List3", K::List, "", {240, 1020, 4695, 4350}},
    {"List4", K::List, "", {240, 1020, 4695, 4350}},
    {"List5", K::List, "", {240, 1020, 4695, 4350}},
    {"TabStrip1", K::TabStrip, "", {120, 540, 6015, 5055}},
    // The language whose items the lists show, above the tabs.
    {.name = "lblLanguage",
     .kind = K::Label,
     .caption = "Language:",
     .twips = {120, 165, 1020, 255},
     .tabStop = false},
    {"cboLanguage", K::ComboBox, "", {1200, 120, 3735, 315}},
};

constexpr ControlSpec kStringControls[] = {
    {"Text1", K::Edit, "", {720, 120, 5775, 285}},
    {"Text2", K::Edit, "", {1080, 600, 1095, 285}},
    {.name = "cmdOK",
     .kind = K::Button,
     .caption = "OK",
     .twips = {4560, 600, 855, 375},
     .role = R::Default},
    {.name = "cmdCancel",
     .kind = K::Button,
     .caption = "Cancel",
     .twips = {5640, 600, 855, 375},
     .role = R::Cancel},
    {.name = "label1",
     .kind = K::Label,
     .caption = "String",
     .twips = {120, 160, 405, 195},
     .autoSize = true,
     .tabStop = false},
    {.name = "Label2",
     .kind = K::Label,
     .caption = "Identificator",
     .twips = {120, 632, 825, 195},
     .autoSize = true,
     .tabStop = false},
    {.name = "Label3",
     .kind = K::Label,
     .caption = "Only a number",
     .twips = {2400, 600, 1020, 195},
     .colour = TextColour::Red,
     .autoSize = true,
     .tabStop = false},
};

constexpr ControlSpec kFileControls[] = {
    {"File1", K::FileList, "", {120, 600, 2535, 3375}},
    {"Drive1", K::DriveList, "", {2760, 3720, 2655, 315}},
    {"Dir1", K::DirList, "", {2760, 600, 2655, 2955}},
    {.name = "cmdOK",
     .kind = K::Button,
     .caption = "OK",
     .twips = {5880, 600, 1095, 375},
     .role = R::Default},
    {.name = "cmdCancel",
     .kind = K::Button,
     .caption = "Cancel",
     .twips = {5880, 1080, 1095, 375},
     .role = R::Cancel},
    {"cmdPlay", K::Button, "Play", {5880, 2880, 1095, 375}},
    {"Text1", K::Edit, "", {5640, 1920, 1575, 285}},
    {.name = "etiName",
     .kind = K::Label,
     .twips = {240, 240, 2535, 255},
     .colour = TextColour::DarkBlue,
     .tabStop = false},
    {.name = "etiRep",
     .kind = K::Label,
     .twips = {2880, 240, 3495, 255},
     .colour = TextColour::DarkBlue,
     .tabStop = false},
    {.name = "Label3",
     .kind = K::Label,
     .caption = "Identificator",
     .twips = {5640, 1680, 1455, 255},
     .tabStop = false},
    {.name = "PicTest", .kind = K::Picture, .twips = {5640, 2280, 1575, 1695}, .tabStop = false},
    // DATA items only: their type, and the chosen file's size in place of a picture.
    {.name = "Label4",
     .kind = K::Label,
     .caption = "Type",
     .twips = {5640, 2280, 1455, 255},
     .tabStop = false},
    {"txtType", K::Edit, "", {5640, 2520, 1575, 285}},
    {.name = "etiSize",
     .kind = K::Label,
     .twips = {5640, 2940, 1575, 495},
     .colour = TextColour::DarkBlue,
     .tabStop = false},
};

// The links sit 480 twips apart, one under the other, as wide as their text.
#define KELBO_HELP_LINK(n, top)                                                                    \
    {                                                                                              \
        .name = "Label" #n, .kind = K::Label, .twips = {480, top, 0, 0},                           \
        .colour = TextColour::DarkBlue, .bold = true, .underline = true, .autoSize = true,         \
        .tabStop = false                                                                           \
    }
constexpr ControlSpec kHelpControls[] = {
    {.name = "Command1",
     .kind = K::Button,
     .caption = "Exit",
     .twips = {1080, 5760, 1095, 375},
     .role = R::Default},
    KELBO_HELP_LINK(1, 360),
    KELBO_HELP_LINK(2, 840),
    KELBO_HELP_LINK(3, 1320),
    KELBO_HELP_LINK(4, 1800),
    KELBO_HELP_LINK(5, 2280),
    KELBO_HELP_LINK(6, 2760),
    KELBO_HELP_LINK(7, 3240),
    KELBO_HELP_LINK(8, 3720),
    KELBO_HELP_LINK(9, 4200),
    KELBO_HELP_LINK(10, 4680),
    KELBO_HELP_LINK(11, 5160),
};
#undef KELBO_HELP_LINK

constexpr ControlSpec kSubHelpControls[] = {
    {.name = "Text1", .kind = K::TextBox, .twips = {120, 600, 6495, 4575}, .bold = true},
    {.name = "Picture1", .kind = K::Panel, .twips = {0, 0, 6690, 495}, .tabStop = false},
    {.name = "Command1",
     .kind = K::Button,
     .caption = "INDEX",
     .twips = {120, 0, 1095, 375},
     .parent = "Picture1"},
};

constexpr ControlSpec kAboutControls[] = {
    {.name = "Frame1", .kind = K::Frame, .twips = {120, 0, 2775, 3375}, .tabStop = false},
    {.name = "Command1",
     .kind = K::Button,
     .caption = "OK",
     .twips = {960, 2760, 855, 375},
     .parent = "Frame1",
     .role = R::Default},
    {.name = "Image1",
     .kind = K::Picture,
     .twips = {240, 360, 480, 480},
     .parent = "Frame1",
     .tabStop = false},
    {.name = "Label1",
     .kind = K::Label,
     .caption = "Kelbo",
     .twips = {1440, 360, 0, 0},
     .parent = "Frame1",
     .bold = true,
     .autoSize = true,
     .tabStop = false},
    // The version is filled in by the presenter.
    {.name = "Label2",
     .kind = K::Label,
     .twips = {1200, 600, 0, 0},
     .parent = "Frame1",
     .bold = true,
     .autoSize = true,
     .tabStop = false},
};

constexpr ControlSpec kCompileControls[] = {
    {.name = "Text1",
     .kind = K::TextBox,
     .twips = {240, 120, 4935, 2895},
     .colour = TextColour::Red,
     .bold = true},
    // Only OK ends the window, and only when pressed: no key presses it unless it has the focus.
    {"cmdOK", K::Button, "OK", {2040, 3360, 1095, 375}},
};

// Left: where the manifest comes from and the generator's settings; right: the XML as written.
constexpr ControlSpec kManifestControls[] = {
    {"optNone", K::Option, "&None", {120, 120, 3735, 255}},
    {"optFile", K::Option, "From a &file", {120, 420, 3735, 255}},
    {"txtFile", K::Edit, "", {360, 720, 2535, 285}},
    {"cmdBrowse", K::Button, "&Browse...", {3000, 705, 1095, 315}},
    {"optGenerated", K::Option, "&Generated", {120, 1140, 3735, 255}},
    {"chkControls", K::CheckBox, "Common controls &6", {360, 1440, 3735, 255}},
    {.name = "lblDpi",
     .kind = K::Label,
     .caption = "DPI awareness",
     .twips = {360, 1830, 1455, 255},
     .tabStop = false},
    {"cboDpi", K::ComboBox, "", {1920, 1770, 2175, 315}},
    {.name = "lblLevel",
     .kind = K::Label,
     .caption = "Execution level",
     .twips = {360, 2250, 1455, 255},
     .tabStop = false},
    {"cboLevel", K::ComboBox, "", {1920, 2190, 2175, 315}},
    {"chkOs", K::CheckBox, "&Supported OS: Vista to 11", {360, 2640, 3735, 255}},
    {.name = "lblName",
     .kind = K::Label,
     .caption = "Name",
     .twips = {360, 3030, 1455, 255},
     .tabStop = false},
    {"txtName", K::Edit, "", {1920, 3000, 2175, 285}},
    {.name = "lblVersion",
     .kind = K::Label,
     .caption = "Version",
     .twips = {360, 3420, 1455, 255},
     .tabStop = false},
    {"txtVersion", K::Edit, "", {1920, 3390, 2175, 285}},
    {.name = "lblDescription",
     .kind = K::Label,
     .caption = "Description",
     .twips = {360, 3810, 1455, 255},
     .tabStop = false},
    {"txtDescription", K::Edit, "", {1920, 3780, 2175, 285}},
    {"chkDll", K::CheckBox, "For a &DLL (resource 2)", {120, 4260, 3735, 255}},
    {.name = "lblXml",
     .kind = K::Label,
     .caption = "As it will be written",
     .twips = {4320, 120, 5415, 255},
     .tabStop = false},
    {"txtXml", K::TextBox, "", {4320, 420, 5415, 3975}},
    {.name = "cmdOK",
     .kind = K::Button,
     .caption = "OK",
     .twips = {7440, 4620, 1095, 375},
     .role = R::Default},
    {.name = "cmdCancel",
     .kind = K::Button,
     .caption = "Cancel",
     .twips = {8640, 4620, 1095, 375},
     .role = R::Cancel},
};

#define KELBO_VERSION_PART(field, n, top)                                                          \
    {                                                                                              \
        "txt" field #n, K::Edit, "", {                                                             \
            1560 + (n)*660, top, 600, 285                                                          \
        }                                                                                          \
    }
#define KELBO_VERSION_STRING(n, label)                                                             \
    {.name = "lblString" #n,                                                                       \
     .kind = K::Label,                                                                             \
     .caption = label,                                                                             \
     .twips = {120, 2445 + (n)*360, 1695, 255},                                                    \
     .tabStop = false},                                                                            \
    {                                                                                              \
        "txtString" #n, K::Edit, "", {                                                             \
            1920, 2400 + (n)*360, 4575, 285                                                        \
        }                                                                                          \
    }
constexpr ControlSpec kVersionControls[] = {
    {.name = "lblFileVersion",
     .kind = K::Label,
     .caption = "File version",
     .twips = {120, 165, 1335, 255},
     .tabStop = false},
    KELBO_VERSION_PART("File", 0, 120),
    KELBO_VERSION_PART("File", 1, 120),
    KELBO_VERSION_PART("File", 2, 120),
    KELBO_VERSION_PART("File", 3, 120),
    {.name = "lblProductVersion",
     .kind = K::Label,
     .caption = "Product version",
     .twips = {120, 525, 1335, 255},
     .tabStop = false},
    KELBO_VERSION_PART("Product", 0, 480),
    KELBO_VERSION_PART("Product", 1, 480),
    KELBO_VERSION_PART("Product", 2, 480),
    KELBO_VERSION_PART("Product", 3, 480),
    {"chkStrings",
     K::CheckBox,
     "&Also set the string versions from the numbers",
     {120, 870, 4935, 255}},
    {.name = "lblFileType",
     .kind = K::Label,
     .caption = "File type",
     .twips = {120, 1245, 1335, 255},
     .tabStop = false},
    {"cboFileType", K::ComboBox, "", {1560, 1200, 2535, 315}},
    {.name = "lblLanguage",
     .kind = K::Label,
     .caption = "Language",
     .twips = {120, 1605, 1335, 255},
     .tabStop = false},
    {"cboLanguage", K::ComboBox, "", {1560, 1560, 3495, 315}},
    {.name = "lblCodePage",
     .kind = K::Label,
     .caption = "Code page",
     .twips = {120, 1965, 1335, 255},
     .tabStop = false},
    {"cboCodePage", K::ComboBox, "", {1560, 1920, 3495, 315}},
    KELBO_VERSION_STRING(0, "Comments"),
    KELBO_VERSION_STRING(1, "CompanyName"),
    KELBO_VERSION_STRING(2, "FileDescription"),
    KELBO_VERSION_STRING(3, "InternalName"),
    KELBO_VERSION_STRING(4, "LegalCopyright"),
    KELBO_VERSION_STRING(5, "LegalTrademarks"),
    KELBO_VERSION_STRING(6, "OriginalFilename"),
    KELBO_VERSION_STRING(7, "PrivateBuild"),
    KELBO_VERSION_STRING(8, "ProductName"),
    KELBO_VERSION_STRING(9, "SpecialBuild"),
    {.name = "cmdOK",
     .kind = K::Button,
     .caption = "OK",
     .twips = {4200, 6120, 1095, 375},
     .role = R::Default},
    {.name = "cmdCancel",
     .kind = K::Button,
     .caption = "Cancel",
     .twips = {5400, 6120, 1095, 375},
     .role = R::Cancel},
};
#undef KELBO_VERSION_PART
#undef KELBO_VERSION_STRING

// Top: the project's languages; below: a language chosen by name or code, the kinds a new one
// copies, and what to do with it.
#define KELBO_COPY_KIND(n, kind)                                                                   \
    {                                                                                              \
        "chkCopy" #n, K::CheckBox, kind, {                                                         \
            120 + ((n) % 4) * 1560, 3600 + ((n) / 4) * 300, 1455, 255                              \
        }                                                                                          \
    }
constexpr ControlSpec kLanguagesControls[] = {
    {.name = "lblLanguages",
     .kind = K::Label,
     .caption = "Languages of the project; the first is the base:",
     .twips = {120, 120, 5040, 255},
     .tabStop = false},
    {"lstLanguages", K::List, "", {120, 420, 5040, 1695}},
    {"cmdRemove", K::Button, "&Remove", {5280, 420, 1095, 375}},
    {.name = "lblChoice",
     .kind = K::Label,
     .caption = "Language",
     .twips = {120, 2325, 1095, 255},
     .tabStop = false},
    {"cboLanguage", K::ComboBox, "", {1320, 2280, 3840, 315}},
    {.name = "lblCode",
     .kind = K::Label,
     .caption = "or its code",
     .twips = {120, 2745, 1095, 255},
     .tabStop = false},
    {"txtCode", K::Edit, "", {1320, 2700, 735, 285}},
    {.name = "lblCodeHint",
     .kind = K::Label,
     .caption = "four hex digits, such as 0419",
     .twips = {2160, 2745, 3000, 255},
     .tabStop = false},
    // Two lines: a long language name wraps.
    {.name = "lblCopy", .kind = K::Label, .twips = {120, 3120, 6255, 435}, .tabStop = false},
    KELBO_COPY_KIND(0, "BITMAP"),
    KELBO_COPY_KIND(1, "ICON"),
    KELBO_COPY_KIND(2, "STRING"),
    KELBO_COPY_KIND(3, "WAVE"),
    KELBO_COPY_KIND(4, "CURSOR"),
    KELBO_COPY_KIND(5, "DATA"),
    KELBO_COPY_KIND(6, "MANIFEST"),
    KELBO_COPY_KIND(7, "VERSION"),
    {"cmdAdd", K::Button, "&Add", {120, 4260, 1215, 375}},
    {"cmdBase", K::Button, "Set as &base language", {1440, 4260, 2175, 375}},
    {.name = "cmdOK",
     .kind = K::Button,
     .caption = "OK",
     .twips = {4080, 4860, 1095, 375},
     .role = R::Default},
    {.name = "cmdCancel",
     .kind = K::Button,
     .caption = "Cancel",
     .twips = {5280, 4860, 1095, 375},
     .role = R::Cancel},
};
#undef KELBO_COPY_KIND

const WindowSpec kMainWindow{"Interface", kStartCaption, 6255, 5790, Placement::Centred,
                             {},          kMainControls};
const WindowSpec kStringDialog{"frmString",        "  STRING", 6690,           1200,
                               Placement::Centred, {},         kStringControls};
const WindowSpec kFileDialog{"frmLoad",          "  BITMAP", 7320,         4140,
                             Placement::Centred, {},         kFileControls};
const WindowSpec kHelpIndex{"frmHelp",           kHelpIndexCaption,  3315,         6390,
                            Placement::AtOrigin, {3210, 1290, 0, 0}, kHelpControls};
const WindowSpec kSubHelp{"frmsubhelp",    "", 6690, 5370, Placement::AtOrigin, {1170, 975, 0, 0},
                          kSubHelpControls};
// A blank rather than an empty caption: window systems fill an empty one with the program's
// name.
const WindowSpec kAbout{"frmAbout", " ", 3000, 3510, Placement::Centred, {}, kAboutControls};
const WindowSpec kManifestDialog{"frmManifest",    "  MANIFEST", 9855, 5160, Placement::Centred, {},
                                 kManifestControls};
const WindowSpec kVersionDialog{"frmVersion", "  VERSION",     6615, 6660, Placement::Centred,
                                {},           kVersionControls};
const WindowSpec kLanguagesDialog{
    "frmLanguages", "  Languages", 6495, 5415, Placement::Centred, {}, kLanguagesControls};
const WindowSpec kCompileLog{"frmCompile", "  Compilation", 5430, 4050, Placement::Centred,
                             {},           kCompileControls};

constexpr MenuItemSpec kFileMenu[] = {
    {"mnuNewKBP", "&New KBP"},
    {"bf0", "", true},
    {"mnuOpenKBP", "&Open KBP-File"},
    {"mnuSaveKBP", "&Save "},
    {"mnuSaveAs", "Save &As..."},
    {"bfr", "", true},
    {"mnuImportRES", "&Import RES-File..."},
    {"mnuExportRC", "E&xport RC-File..."},
    {"bf1", "", true},
    {"mnuPrint", "&Print"},
    {"bf2", "", true},
    {"mnuExit", "&Exit"},
    {"mnulastBar", "", true, true},
    {"mnuFile1", "", false, true},
    {"mnufile2", "", false, true},
    {"mnufile3", "", false, true},
    {"mnufile4", "", false, true},
    {"mnufile5", "", false, true},
};
constexpr MenuItemSpec kProjectMenu[] = {
    {"mnuManifest", "&Manifest\u2026"},
    {"mnuVersion", "&Version\u2026"},
    {"mnuLanguages", "&Languages\u2026"},
};
constexpr MenuItemSpec kCompileMenu[] = {
    {"mnuCompile16", "Compile in &16 bits-Mode"},
    {"mnuCompile32", "Compile in &32 bits-Mode"},
    {"mnuCompileProgram", "Compile into &Program\u2026"},
};
constexpr MenuItemSpec kHelpMenu[] = {
    {"mnuHelp", "&Help"},
    {"ba0", "", true},
    {"mnuAbout", "&About"},
};
constexpr MenuSpec kMenus[] = {
    {"mfi", "&File", kFileMenu},
    {"mpr", "&Project", kProjectMenu},
    {"mco", "&Compile", kCompileMenu},
    {"mnuAide", "&Help", kHelpMenu},
};

constexpr std::array<std::string_view, 8> kTabTips = {
    "Bitmap resource", "Icon resource", "String resource",   "Wave resource",
    "Cursor resource", "Data resource", "Manifest resource", "Version resource"};

} // namespace

const ControlSpec* WindowSpec::find(std::string_view controlName) const {
    for (const ControlSpec& control : controls)
        if (control.name == controlName)
            return &control;
    return nullptr;
}

const WindowSpec& mainWindowSpec() {
    return kMainWindow;
}
const WindowSpec& fileItemDialogSpec() {
    return kFileDialog;
}
const WindowSpec& stringItemDialogSpec() {
    return kStringDialog;
}
const WindowSpec& helpIndexSpec() {
    return kHelpIndex;
}
const WindowSpec& subHelpSpec() {
    return kSubHelp;
}
const WindowSpec& aboutSpec() {
    return kAbout;
}
const WindowSpec& compileLogSpec() {
    return kCompileLog;
}

const WindowSpec& manifestDialogSpec() {
    return kManifestDialog;
}
const WindowSpec& versionDialogSpec() {
    return kVersionDialog;
}
const WindowSpec& languagesDialogSpec() {
    return kLanguagesDialog;
}

std::span<const MenuSpec> mainMenus() {
    return kMenus;
}

std::string_view tabToolTip(int tab) {
    return tab >= 0 && tab < static_cast<int>(kTabTips.size()) ? kTabTips[tab] : std::string_view();
}

} // namespace kelbo::shell

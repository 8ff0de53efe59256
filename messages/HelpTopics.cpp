#include "messages/HelpTopics.h"

#include <initializer_list>

namespace kelbo {
namespace {

// Lines joined by CR LF; `trailing` line ends follow the last line.
std::string text(std::initializer_list<const char*> lines, int trailing) {
    std::string out;
    bool first = true;
    for (const char* line : lines) {
        if (!first)
            out += "\r\n";
        out += line;
        first = false;
    }
    for (int i = 0; i < trailing; ++i)
        out += "\r\n";
    return out;
}

// The three kinds that take a name or a number explain it the same way.
std::string fileKindText(const char* kind, const char* vbKind) {
    std::string head = std::string(kind) + " Identificator : String or Number";
    std::string s100 = std::string("Picture1.picture = LoadResPicture (100,") + vbKind + ")";
    std::string sTest = std::string("Picture1.picture = LoadResPicture (\"test\",") + vbKind + ")";
    std::string sTheTest =
        std::string("Picture1.picture = LoadResPicture (\"The Test\",") + vbKind + ")";
    return text({head.c_str(), "", "If Identificator is a number, it must be a positive",
                 "integer (<32767)", "", "If identificator is a string : 32 characters maximum",
                 "(spaces are accepted)", "", "Samples :", "", s100.c_str(), "", sTest.c_str(), "",
                 sTheTest.c_str()},
                2);
}

} // namespace

const std::array<HelpTopic, kHelpTopicCount>& helpTopics() {
    static const std::array<HelpTopic, kHelpTopicCount> topics = {{
        {"Introduction", "  INTRODUCTION",
         text({"Kelbo is a Resource compiler. It is a standalone program",
               "No need of RC.EXE or BRC.EXE",
               "",
               "Kelbo accepts BITPMAP, ICON, STRING and WAVE resources.",
               "It can create Res-file in 16 bits-Mode or in 32 bits-Mode.",
               "",
               "To create a resource file",
               "",
               "1) Create a resource source file (*.KBP) that contains all the",
               "    string resources of your application :",
               "   Select the tab of the resource and click on the Add-Button.",
               "   Select a resource and specify an identificator.",
               "2) Save the KBP-file.",
               "3) Compile in 16 or 32 bits Mode.",
               "4) Add the RES-file to your Visual Basic project.",
               "",
               "WARNING :",
               "Visual Basic uses locking on the RES-file to prevent problems with",
               "multiple applications trying to use the file at the same time.",
               "Before modifying the Res-file, you must close your Visual Basic",
               "project."},
              0)},
        {"BITMAP", " BITMAP", fileKindText("BITMAP", "0")},
        {"ICON", " ICON", fileKindText("ICON", "1")},
        {"STRING", " STRING",
         text({"STRING Identificator : only a Number", "", "The identificator must be a positive",
               "integer (<32767)", "", "Samples :", "", "Text1.Text = LoadResString (100)"},
              2)},
        {"WAVE", " WAVE",
         text({"WAVE Identificator : String or Number", "",
               "If Identificator is a number, it must be a positive", "integer (<32767)", "",
               "If identificator is a string : 32 characters maximum", "(spaces are accepted)"},
              2)},
        {"Sample Wave-resource", "  Sample WAVE",
         text({"In a Module.bas place the following declaration :",
               "",
               "In 16 bits Mode :",
               "",
               "Declare Function sndPlaySound Lib \"MMSYSTEM\" _",
               "       (SoundName As Any, ByVal Flag%) As Integer",
               "",
               "In 32 bits Mode :",
               "",
               "Declare Function sndPlaySound Lib \"winmm\" Alias \"sndPlaySoundA\" _",
               "       (SoundName As Any, Byval Flags As Long) As Long",
               "",
               "In the code of a button, place this code :",
               "",
               "Sub Command1_click",
               "   Dim bSound() As Byte",
               "   bSound = LoadResData (100,\"WAVE\")",
               "   R = sndPlaySound (bSound(0), 4)",
               "End Sub",
               "",
               "(100) is the Wave-Identificator",
               "(4) is a flag (SoundName points to a memory file)"},
              0)},
        {"CURSOR", " CURSOR",
         text({"CURSOR Identificator : String or Number", "",
               "If Identificator is a number, it must be a positive", "integer (<32767)", "",
               "If identificator is a string : 32 characters maximum", "(spaces are accepted)", "",
               "Select a CUR-file. The preview shows its first image;",
               "the cross marks the hot spot.", "", "Samples :", "",
               "Screen.MouseIcon = LoadResPicture (100, 2)", "Screen.MousePointer = 99"},
              2)},
        {"DATA", " DATA",
         text({"DATA Identificator : String or Number", "",
               "If Identificator is a number, it must be a positive", "integer (<32767)", "",
               "If identificator is a string : 32 characters maximum", "(spaces are accepted)", "",
               "Any file, copied as it is. Its size is shown under the type.", "",
               "Type : String or Number (default CUSTOM)",
               "A string is upper-cased like an identificator.",
               "A number must be 1 to 32767, but not 1, 2, 3, 6, 12, 14,",
               "16 or 24 : Kelbo writes those types itself.", "", "Samples :", "",
               "Dim bData() As Byte", "bData = LoadResData (100, \"CUSTOM\")"},
              2)},
        {"Project menu", "  PROJECT",
         text({"Manifest...",
               "",
               "None : the program gets no manifest.",
               "From a file : the file is copied as it is; it must be",
               "well-formed XML.",
               "Generated : Kelbo writes the manifest from the settings :",
               "   Common controls 6 : the themed controls of Windows XP and later.",
               "   DPI awareness : how Windows scales the program.",
               "   Execution level : asInvoker, or the rights to ask for.",
               "   Supported OS : Windows Vista to Windows 11.",
               "   Name, Version (four numbers), Description.",
               "For a DLL : the manifest becomes resource 2 instead of 1.",
               "A manifest exists only in 32 bits-Mode.",
               "",
               "Version...",
               "",
               "File version and Product version : four numbers, 0 to 65535.",
               "File type : Program or DLL.",
               "Language and Code page name the block of strings.",
               "The strings are shown on the Details tab in Explorer;",
               "an empty string is not written.",
               "Also set the string versions from the numbers : the",
               "FileVersion and ProductVersion strings are the four numbers."},
              0)},
        {"Languages", "  LANGUAGES",
         text({"A project holds its resources in one or more languages.",
               "The first language is the base; a new project has one,",
               "Neutral (0000).",
               "",
               "The Language list above the tabs chooses the language",
               "whose items the tabs show, add, modify and delete.",
               "",
               "Project menu, Languages... :",
               "",
               "Add : choose a language by name, or type its code as four",
               "   hex digits (0419 is Russian). Tick the kinds whose items",
               "   of the language on show are copied into the new one",
               "   (STRING is ticked at first).",
               "Remove : the selected language and all its items go.",
               "Set as base language : the base takes the chosen language.",
               "",
               "Give the same identificator in each language : Windows loads",
               "the one in the user's language, or another when it is missing.",
               "",
               "Samples :",
               "",
               "Label1.Caption = LoadResString (100)",
               "",
               "Text may be in any script. The 16 bits-Mode has no languages",
               "and holds only Western European text."},
              0)},
        {"Compile into Program", "  PROGRAM",
         text({"Compile menu, Compile into Program... :", "",
               "Visual Basic writes its own version resource into the",
               "EXE it makes. Choose the built EXE, DLL or OCX : Kelbo",
               "writes the project's resources into it, in place of the",
               "ones of the same type, identificator and language.",
               "Its other resources and its code are kept.", "",
               "A signed program loses its signature : Kelbo asks first.",
               "Sign the program again afterwards.", "",
               "Make the program again in Visual Basic, then compile into",
               "it again : Visual Basic overwrites the file.", "",
               "Import RES... also reads the resources of a program.", "", "Command line :", "",
               "kelbo-res patch MyApp.exe MyApp.KBP"},
              0)},
    }};
    return topics;
}

} // namespace kelbo

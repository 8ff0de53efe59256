// Control and menu identifiers, named after the controls they stand for (the same names as in
// the Qt windows), so tests find each control by its name.
#pragma once

namespace kelbo::win32::ids {

// The main window. IDOK and IDCANCEL are left unused: Enter and Escape on a list do nothing.
inline constexpr int TabStrip1 = 100;
inline constexpr int List0 = 110; // List0 ... List3, one per kind
inline constexpr int cmdAdd = 120;
inline constexpr int cmdModify = 121;
inline constexpr int cmdDelete = 122;
inline constexpr int Line1 = 123;

inline constexpr int mnuNewKBP = 200;
inline constexpr int mnuOpenKBP = 201;
inline constexpr int mnuSaveKBP = 202;
inline constexpr int mnuSaveAs = 203;
inline constexpr int mnuPrint = 204;
inline constexpr int mnuExit = 205;
inline constexpr int mnuImportRES = 206;
inline constexpr int mnuExportRC = 207;
inline constexpr int mnuFile1 = 210; // mnuFile1 ... mnufile5
inline constexpr int mnuCompile16 = 220;
inline constexpr int mnuCompile32 = 221;
inline constexpr int mnuHelp = 230;
inline constexpr int mnuAbout = 231;

// The item dialogs: OK and Cancel are the dialog manager's IDOK and IDCANCEL.
inline constexpr int cmdOK = 1;
inline constexpr int cmdCancel = 2;
inline constexpr int Text1 = 300;
inline constexpr int Text2 = 301;
inline constexpr int label1 = 302;
inline constexpr int Label2 = 303;
inline constexpr int Label3 = 304;
inline constexpr int etiName = 310;
inline constexpr int etiRep = 311;
inline constexpr int File1 = 312;
inline constexpr int Dir1 = 313;
inline constexpr int Drive1 = 314;
inline constexpr int PicTest = 315;
inline constexpr int cmdPlay = 316;

// Help, sub-help, about and the compile log.
inline constexpr int Command1 = 400;
inline constexpr int HelpLabel1 = 401; // Label1 ... Label6 of the help index
inline constexpr int Picture1 = 410;
inline constexpr int Frame1 = 411;
inline constexpr int Image1 = 412;
inline constexpr int AboutLabel1 = 413;
inline constexpr int AboutLabel2 = 414;
// OK of the compile log: not IDOK, so Enter in the log does not close it.
inline constexpr int cmdCompileOK = 420;

} // namespace kelbo::win32::ids

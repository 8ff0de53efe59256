// Control and menu identifiers, named after the controls they stand for (the same names as in
// the Qt windows), so tests find each control by its name.
#pragma once

namespace kelbo::win32::ids {

// The main window. IDOK and IDCANCEL are left unused: Enter and Escape on a list do nothing.
inline constexpr int TabStrip1 = 100;
inline constexpr int List0 = 110; // List0 ... List5, one per tab
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
inline constexpr int mnuManifest = 215;
inline constexpr int mnuVersion = 216;
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
inline constexpr int Label4 = 317;
inline constexpr int txtType = 318;
inline constexpr int etiSize = 319;

// Help, sub-help, about and the compile log.
inline constexpr int Command1 = 400;
inline constexpr int HelpLabel1 = 401; // Label1, Label2, ... of the help index, one per topic
inline constexpr int Picture1 = 410;
inline constexpr int Frame1 = 411;
inline constexpr int Image1 = 412;
inline constexpr int AboutLabel1 = 413;
inline constexpr int AboutLabel2 = 414;
// OK of the compile log: not IDOK, so Enter in the log does not close it.
inline constexpr int cmdCompileOK = 420;

// The manifest dialog; OK and Cancel as in the item dialogs.
inline constexpr int optNone = 500;
inline constexpr int optFile = 501;
inline constexpr int txtFile = 502;
inline constexpr int cmdBrowse = 503;
inline constexpr int optGenerated = 504;
inline constexpr int chkControls = 505;
inline constexpr int lblDpi = 506;
inline constexpr int cboDpi = 507;
inline constexpr int lblLevel = 508;
inline constexpr int cboLevel = 509;
inline constexpr int chkOs = 510;
inline constexpr int lblName = 511;
inline constexpr int txtName = 512;
inline constexpr int lblVersion = 513;
inline constexpr int txtVersion = 514;
inline constexpr int lblDescription = 515;
inline constexpr int txtDescription = 516;
inline constexpr int chkDll = 517;
inline constexpr int lblXml = 518;
inline constexpr int txtXml = 519;

// The version dialog.
inline constexpr int lblFileVersion = 600;
inline constexpr int txtFile0 = 601; // txtFile0 ... txtFile3
inline constexpr int lblProductVersion = 605;
inline constexpr int txtProduct0 = 606; // txtProduct0 ... txtProduct3
inline constexpr int chkStrings = 610;
inline constexpr int lblFileType = 611;
inline constexpr int cboFileType = 612;
inline constexpr int lblLanguage = 613;
inline constexpr int cboLanguage = 614;
inline constexpr int lblCodePage = 615;
inline constexpr int cboCodePage = 616;
inline constexpr int lblString0 = 620; // lblString0 ... lblString9
inline constexpr int txtString0 = 630; // txtString0 ... txtString9

// The main window's language drop-down is lblLanguage and cboLanguage, the version dialog's ids.
inline constexpr int mnuLanguages = 217;
inline constexpr int mnuCompileProgram = 222;

// The Languages dialog; its cboLanguage is the version dialog's id, its cmdAdd the main
// window's: ids are unique within a window.
inline constexpr int lblLanguages = 700;
inline constexpr int lstLanguages = 701;
inline constexpr int cmdRemove = 702;
inline constexpr int lblChoice = 703;
inline constexpr int lblCode = 704;
inline constexpr int txtCode = 705;
inline constexpr int lblCodeHint = 706;
inline constexpr int lblCopy = 707;
inline constexpr int chkCopy0 = 710; // chkCopy0 ... chkCopy7, one per kind
inline constexpr int cmdBase = 720;

} // namespace kelbo::win32::ids

# Item dialogs, the Project menu's dialogs, help and about.
list(APPEND KELBO_GUI_SOURCES
  ${CMAKE_SOURCE_DIR}/dialogs/DriveList.cpp
  ${CMAKE_SOURCE_DIR}/dialogs/DirList.cpp
  ${CMAKE_SOURCE_DIR}/dialogs/frmLoad.cpp
  ${CMAKE_SOURCE_DIR}/dialogs/frmString.cpp
  ${CMAKE_SOURCE_DIR}/dialogs/SpecControls.cpp
  ${CMAKE_SOURCE_DIR}/dialogs/frmManifest.cpp
  ${CMAKE_SOURCE_DIR}/dialogs/frmVersion.cpp
  ${CMAKE_SOURCE_DIR}/dialogs/frmLanguages.cpp
  ${CMAKE_SOURCE_DIR}/help/frmHelp.cpp
  ${CMAKE_SOURCE_DIR}/help/frmsubhelp.cpp
  ${CMAKE_SOURCE_DIR}/help/frmAbout.cpp
)

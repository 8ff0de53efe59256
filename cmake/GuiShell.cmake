# Main window, start-up, recent files, printing, compile log window and the Qt platform.
list(APPEND KELBO_GUI_SOURCES
  ${CMAKE_SOURCE_DIR}/app/Interface.cpp
  ${CMAKE_SOURCE_DIR}/app/ProjectListModel.cpp
  ${CMAKE_SOURCE_DIR}/app/PrintListing.cpp
  ${CMAKE_SOURCE_DIR}/app/resources/kelbo.qrc
  ${CMAKE_SOURCE_DIR}/platform/QtPlatform.cpp
  ${CMAKE_SOURCE_DIR}/rescompiler/frmCompile.cpp
)

# The Qt program. The shell (main window, platform) and the item dialogs keep their own source
# lists so they can grow independently.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Multimedia)

set(KELBO_GUI_SOURCES "")
include(${CMAKE_CURRENT_LIST_DIR}/GuiShell.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/GuiDialogs.cmake)

add_library(kelbo_gui STATIC ${KELBO_GUI_SOURCES})
set_target_properties(kelbo_gui PROPERTIES AUTOMOC ON AUTORCC ON)
target_include_directories(kelbo_gui PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kelbo_gui PUBLIC kelbo_core Qt6::Widgets Qt6::PrintSupport Qt6::Multimedia)

add_executable(kelbo app/main.cpp)
target_link_libraries(kelbo PRIVATE kelbo_gui)

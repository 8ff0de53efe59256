# GoogleTest for a cross build: compiled from the sources of Debian's googletest package with the
# same toolchain as the code under test, since the host's libgtest cannot link into a Windows
# program. Included only when CMAKE_CROSSCOMPILING; afterwards find_package(GTest) finds these
# targets, and test discovery waits until ctest runs (the test programs need the emulator).
include_guard(GLOBAL)

set(KELBO_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS "${KELBO_GTEST_SOURCE_DIR}/googletest/src/gtest-all.cc")
  message(FATAL_ERROR "GoogleTest sources not found in ${KELBO_GTEST_SOURCE_DIR} "
                      "(install Debian's googletest package or set KELBO_GTEST_SOURCE_DIR)")
endif()

set(_kelbo_gt "${KELBO_GTEST_SOURCE_DIR}/googletest")
set(_kelbo_gm "${KELBO_GTEST_SOURCE_DIR}/googlemock")

add_library(kelbo_cross_gtest STATIC "${_kelbo_gt}/src/gtest-all.cc")
target_include_directories(kelbo_cross_gtest SYSTEM PUBLIC "${_kelbo_gt}/include")
target_include_directories(kelbo_cross_gtest PRIVATE "${_kelbo_gt}")
# Third-party code: its warnings are not ours to fix (CI builds with -Werror).
target_compile_options(kelbo_cross_gtest PRIVATE -w)

add_library(kelbo_cross_gtest_main STATIC "${_kelbo_gt}/src/gtest_main.cc")
target_link_libraries(kelbo_cross_gtest_main PUBLIC kelbo_cross_gtest)
target_compile_options(kelbo_cross_gtest_main PRIVATE -w)

# GoogleMock is built only when a test links it.
add_library(kelbo_cross_gmock STATIC EXCLUDE_FROM_ALL "${_kelbo_gm}/src/gmock-all.cc")
target_include_directories(kelbo_cross_gmock SYSTEM PUBLIC "${_kelbo_gm}/include")
target_include_directories(kelbo_cross_gmock PRIVATE "${_kelbo_gm}")
target_link_libraries(kelbo_cross_gmock PUBLIC kelbo_cross_gtest)
target_compile_options(kelbo_cross_gmock PRIVATE -w)

add_library(kelbo_cross_gmock_main STATIC EXCLUDE_FROM_ALL "${_kelbo_gm}/src/gmock_main.cc")
target_link_libraries(kelbo_cross_gmock_main PUBLIC kelbo_cross_gmock)
target_compile_options(kelbo_cross_gmock_main PRIVATE -w)

add_library(GTest::gtest ALIAS kelbo_cross_gtest)
add_library(GTest::gtest_main ALIAS kelbo_cross_gtest_main)
add_library(GTest::gmock ALIAS kelbo_cross_gmock)
add_library(GTest::gmock_main ALIAS kelbo_cross_gmock_main)
add_library(GTest::GTest ALIAS kelbo_cross_gtest)
add_library(GTest::Main ALIAS kelbo_cross_gtest_main)

# find_package(GTest) looks here before anywhere else, so it takes the targets above instead of
# failing on (or, worse, finding) a library built for the host.
file(WRITE "${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake"
     "# Cross-built GoogleTest; the targets exist already.\nset(GTest_FOUND TRUE)\n")
file(STRINGS "${KELBO_GTEST_SOURCE_DIR}/CMakeLists.txt" _kelbo_gt_version
     REGEX "set\\(GOOGLETEST_VERSION")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" _kelbo_gt_version "${_kelbo_gt_version}")
file(WRITE "${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config-version.cmake"
     "set(PACKAGE_VERSION ${_kelbo_gt_version})\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n"
     "if(PACKAGE_FIND_VERSION VERSION_EQUAL PACKAGE_VERSION)\n"
     "  set(PACKAGE_VERSION_EXACT TRUE)\nendif()\n")

# The test programs cannot run at build time; ctest lists their cases through the emulator.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

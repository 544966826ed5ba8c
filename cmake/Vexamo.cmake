# Helpers shared by the subsystem folders.
#
# vexamo_core_library(<name> SOURCES ... [DEPS ...])
#   Static library vexamo_<name>_core, standard C++ only: Qt is not on its include path,
#   so a stray Qt include fails to build. Every such library joins the interface vexamo_core.
# vexamo_ui_library(<name> SOURCES ... [DEPS ...])
#   Static library vexamo_<name>_ui with Qt Widgets; joins the interface vexamo_ui.
# vexamo_core_test(<name> SOURCES ... [DEPS ...])
#   GoogleTest executable <name> linked with its DEPS only, registered with CTest.
# vexamo_ui_test(<name> SOURCES ... [DEPS ...])
#   The same for window tests: a QApplication runs, headless and with the Spanish locale.

add_library(vexamo_core INTERFACE)
add_library(vexamo_ui INTERFACE)
set(VEXAMO_SRC ${CMAKE_CURRENT_LIST_DIR}/../src)

function(vexamo_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(vexamo_${name}_core STATIC ${ARG_SOURCES})
  target_include_directories(vexamo_${name}_core PUBLIC ${VEXAMO_SRC})
  target_link_libraries(vexamo_${name}_core PUBLIC ${ARG_DEPS})
  set_target_properties(vexamo_${name}_core PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  target_link_libraries(vexamo_core INTERFACE vexamo_${name}_core)
endfunction()

function(vexamo_ui_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(vexamo_${name}_ui STATIC ${ARG_SOURCES})
  target_include_directories(vexamo_${name}_ui PUBLIC ${VEXAMO_SRC})
  target_link_libraries(vexamo_${name}_ui PUBLIC Qt6::Widgets ${ARG_DEPS})
  target_link_libraries(vexamo_ui INTERFACE vexamo_${name}_ui)
endfunction()

function(vexamo_core_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} vexamo_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES TIMEOUT 600)
endfunction()

function(vexamo_ui_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${VEXAMO_SRC}/../tests/support/UiTestMain.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} vexamo_testsupport vexamo_ui_testsupport Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
    PROPERTIES TIMEOUT 600 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=es_ES.UTF-8")
endfunction()

vexamo_ui_library(platform SOURCES
  src/platform/Dialogs.cpp
  src/platform/QtText.cpp
  DEPS vexamo_platform_core)

add_library(vexamo_ui_testsupport STATIC tests/support/ScriptedDialogs.cpp)
target_include_directories(vexamo_ui_testsupport PUBLIC tests/support)
target_link_libraries(vexamo_ui_testsupport PUBLIC vexamo_platform_ui GTest::gtest)

vexamo_ui_test(platform_ui_tests
  SOURCES src/platform/QtTextTest.cpp
  DEPS vexamo_platform_ui)

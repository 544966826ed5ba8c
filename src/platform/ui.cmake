vexamo_ui_library(platform SOURCES
  src/platform/Dialogs.cpp
  src/platform/QtText.cpp
  src/platform/SingleInstance.cpp
  src/platform/Desktop.cpp
  DEPS vexamo_platform_core Qt6::Network Qt6::Gui)

add_library(vexamo_ui_testsupport STATIC tests/support/ScriptedDialogs.cpp)
target_include_directories(vexamo_ui_testsupport PUBLIC tests/support)
target_link_libraries(vexamo_ui_testsupport PUBLIC vexamo_platform_ui GTest::gtest)

# A second start of the program, run as its own process by the single-instance tests.
add_executable(single_instance_sender src/platform/SingleInstanceSender.cpp)
target_link_libraries(single_instance_sender PRIVATE vexamo_platform_ui)

vexamo_ui_test(platform_ui_tests
  SOURCES src/platform/QtTextTest.cpp src/platform/SingleInstanceTest.cpp
    src/platform/DesktopTest.cpp
  DEPS vexamo_platform_ui)
target_compile_definitions(platform_ui_tests PRIVATE
  VEXAMO_SINGLE_INSTANCE_SENDER="$<TARGET_FILE:single_instance_sender>")
add_dependencies(platform_ui_tests single_instance_sender)

# The demo question bank: text sources in data/demo, built into a data folder by
# vexamo_demobank with the bank's own operations.
add_library(vexamo_demobank_builder STATIC data/DemoBank.cpp)
target_include_directories(vexamo_demobank_builder PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexamo_demobank_builder PUBLIC vexamo_bank_core)
set_target_properties(vexamo_demobank_builder PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

add_executable(vexamo_demobank data/MakeDemoBank.cpp)
target_link_libraries(vexamo_demobank PRIVATE vexamo_demobank_builder)
set_target_properties(vexamo_demobank PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

vexamo_core_test(demobank_tests SOURCES data/DemoBankTest.cpp DEPS vexamo_demobank_builder)
target_compile_definitions(demobank_tests PRIVATE
  VEXAMO_DEMO_SOURCE="${CMAKE_CURRENT_LIST_DIR}/demo"
  VEXAMO_DEMOBANK_EXE="$<TARGET_FILE:vexamo_demobank>")
add_dependencies(demobank_tests vexamo_demobank)

vexamo_fuzz_target(fuzz_users_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_users_file.cpp DEPS vexamo_users_core)
# scripts/fuzz runs the targets from the top of the build folder.
set_target_properties(fuzz_users_file PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

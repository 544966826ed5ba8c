vexamo_fuzz_target(fuzz_users_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_users_file.cpp DEPS vexamo_users_core)

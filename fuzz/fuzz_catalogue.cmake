vexamo_fuzz_target(fuzz_catalogue SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_catalogue.cpp DEPS vexamo_bank_core)

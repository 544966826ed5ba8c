vexamo_fuzz_target(fuzz_subject_files SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_subject_files.cpp DEPS vexamo_bank_core)
# scripts/fuzz runs the targets from the top of the build folder.
set_target_properties(fuzz_subject_files PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

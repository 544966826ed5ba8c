# Topic filter over a generated 50 MB subject, against grep on the same file.
add_executable(bench_assembly ${PROJECT_SOURCE_DIR}/bench/AssemblyBench.cpp)
target_link_libraries(bench_assembly PRIVATE vexamo_test_core benchmark::benchmark)

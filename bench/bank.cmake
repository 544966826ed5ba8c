add_executable(bench_bank ${CMAKE_CURRENT_SOURCE_DIR}/BankBench.cpp)
target_link_libraries(bench_bank PRIVATE vexamo_bank_core benchmark::benchmark)

add_executable(bench_cipher ${CMAKE_CURRENT_SOURCE_DIR}/CipherBench.cpp)
target_link_libraries(bench_cipher PRIVATE vexamo_users_core benchmark::benchmark OpenSSL::Crypto)

add_executable(bench_users_file ${CMAKE_CURRENT_SOURCE_DIR}/UsersFileBench.cpp)
target_link_libraries(bench_users_file PRIVATE vexamo_users_core benchmark::benchmark)

vexamo_core_library(users SOURCES
  src/users/Cipher.cpp
  src/users/UsersFile.cpp
  DEPS vexamo_platform_core)

find_package(OpenSSL REQUIRED)
vexamo_core_test(users_core_tests
  SOURCES src/users/CipherTest.cpp src/users/UsersFileTest.cpp
  DEPS vexamo_users_core OpenSSL::Crypto)

vexamo_core_library(platform SOURCES
  src/platform/Cp1252.cpp
  src/platform/Files.cpp
  src/platform/RawFile.cpp)

vexamo_core_test(platform_core_tests
  SOURCES src/platform/Cp1252Test.cpp src/platform/FilesTest.cpp src/platform/RawFileTest.cpp
  DEPS vexamo_platform_core)

vexamo_core_library(test SOURCES
  src/test/TestAssembly.cpp
  src/test/Scoring.cpp
  DEPS vexamo_bank_core)

vexamo_core_test(test_core_tests
  SOURCES src/test/TestAssemblyTest.cpp src/test/ScoringTest.cpp
  DEPS vexamo_test_core)

vexamo_core_library(test SOURCES
  src/test/TestAssembly.cpp
  src/test/Scoring.cpp
  DEPS vexamo_bank_core)

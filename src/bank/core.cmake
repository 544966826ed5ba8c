vexamo_core_library(bank SOURCES
  src/bank/Catalogue.cpp
  src/bank/SubjectFiles.cpp
  DEPS vexamo_platform_core)

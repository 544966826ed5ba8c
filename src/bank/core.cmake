vexamo_core_library(bank SOURCES
  src/bank/Catalogue.cpp
  src/bank/SubjectFiles.cpp
  DEPS vexamo_platform_core)

vexamo_core_test(bank_core_tests
  SOURCES src/bank/CatalogueTest.cpp src/bank/SubjectFilesTest.cpp
  DEPS vexamo_bank_core)

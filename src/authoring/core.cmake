vexamo_core_library(authoring SOURCES
  src/authoring/QuestionEditing.cpp
  DEPS vexamo_bank_core)

vexamo_core_test(authoring_core_tests
  SOURCES src/authoring/QuestionEditingTest.cpp
  DEPS vexamo_authoring_core)

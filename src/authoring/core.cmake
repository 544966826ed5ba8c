vexamo_core_library(authoring SOURCES
  src/authoring/QuestionEditing.cpp
  DEPS vexamo_bank_core)

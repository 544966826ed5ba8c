vexamo_ui_library(bank SOURCES
  src/bank/SubjectListsPanel.cpp
  src/bank/SubjectMaintenance.cpp
  DEPS vexamo_bank_core vexamo_platform_ui)

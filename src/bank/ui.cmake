vexamo_ui_library(bank SOURCES
  src/bank/SubjectListsPanel.cpp
  src/bank/SubjectListsPanelEditing.cpp
  src/bank/SubjectListsPanelCommands.cpp
  src/bank/SubjectListsPanelParts.h
  src/bank/SubjectMaintenance.cpp
  DEPS vexamo_bank_core vexamo_platform_ui)

vexamo_ui_test(bank_ui_tests
  SOURCES src/bank/SubjectListsPanelTest.cpp src/bank/SubjectMaintenanceTest.cpp
          src/bank/FakeSession.h
  DEPS vexamo_bank_ui)

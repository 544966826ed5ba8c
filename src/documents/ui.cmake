vexamo_ui_library(documents SOURCES
  src/documents/DocumentOptionsPanel.cpp
  DEPS vexamo_platform_ui)

vexamo_ui_test(documents_ui_tests
  SOURCES src/documents/DocumentOptionsPanelTest.cpp
  DEPS vexamo_documents_ui)

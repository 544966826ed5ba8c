vexamo_ui_library(authoring SOURCES
  src/authoring/TFormNuevaPregunta.cpp
  DEPS vexamo_authoring_core vexamo_bank_core vexamo_platform_ui)

vexamo_ui_test(authoring_ui_tests
  SOURCES src/authoring/TFormNuevaPreguntaTest.cpp
  DEPS vexamo_authoring_ui vexamo_authoring_core vexamo_bank_core vexamo_users_core)

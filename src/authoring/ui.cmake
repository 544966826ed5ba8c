vexamo_ui_library(authoring SOURCES
  src/authoring/TFormNuevaPregunta.cpp
  DEPS vexamo_authoring_core vexamo_bank_core vexamo_platform_ui)

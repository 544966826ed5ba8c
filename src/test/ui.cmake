vexamo_ui_library(test SOURCES
  src/test/TestOptionsPanel.cpp
  src/test/TFormPregunta.cpp
  src/test/TFormPreguntaRunner.cpp
  src/test/TFormPreguntaEnd.cpp
  src/test/TFormPreguntaReview.cpp
  DEPS vexamo_test_core vexamo_bank_ui vexamo_authoring_ui vexamo_users_core vexamo_platform_ui)

vexamo_ui_test(test_ui_tests
  SOURCES src/test/TFormPreguntaTest.cpp src/test/TFormPreguntaReviewTest.cpp
          src/test/TestOptionsPanelTest.cpp
  DEPS vexamo_test_ui vexamo_test_core vexamo_authoring_ui vexamo_authoring_core vexamo_bank_ui
       vexamo_users_core)

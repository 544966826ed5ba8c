vexamo_ui_library(app SOURCES
  src/app/TForm1.cpp
  src/app/TFormAcercaDe.cpp
  src/app/VexamoApplication.cpp
  DEPS vexamo_bank_ui vexamo_users_ui vexamo_test_ui vexamo_authoring_ui vexamo_documents_ui
       vexamo_platform_ui)

add_executable(vexamo src/app/main.cpp)
target_link_libraries(vexamo PRIVATE vexamo_app_ui)
if(VEXAMO_SANITIZE)
  target_sources(vexamo PRIVATE src/app/LeakSuppressions.cpp)
endif()
# The HTML help goes beside the program, where "Ayuda..." looks for it.
add_custom_command(TARGET vexamo POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${CMAKE_CURRENT_SOURCE_DIR}/data/help/Vexamo.html $<TARGET_FILE_DIR:vexamo>/Vexamo.html
  VERBATIM)

vexamo_ui_test(app_ui_tests
  SOURCES src/app/TForm1Test.cpp src/app/VexamoApplicationTest.cpp
  DEPS vexamo_app_ui)
target_compile_definitions(app_ui_tests PRIVATE
  VEXAMO_SINGLE_INSTANCE_SENDER="$<TARGET_FILE:single_instance_sender>"
  VEXAMO_PROGRAM="$<TARGET_FILE:vexamo>")
add_dependencies(app_ui_tests single_instance_sender vexamo)

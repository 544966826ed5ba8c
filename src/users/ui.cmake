vexamo_ui_library(users SOURCES
  src/users/DialogParts.cpp
  src/users/TFormNuevoAdministrador.cpp
  src/users/TFormInicioSesion.cpp
  src/users/TFormNuevoUsuario.cpp
  src/users/TFormCambiarContrasena.cpp
  src/users/TFormPerfilUsuario.cpp
  DEPS vexamo_users_core vexamo_platform_ui)

vexamo_ui_test(users_ui_tests
  SOURCES src/users/AccountDialogsTest.cpp
  DEPS vexamo_users_ui)

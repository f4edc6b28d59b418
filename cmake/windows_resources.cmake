# What VIRODARO.EXE tells Windows about itself: a version resource (its name, version and
# description, which Explorer's Details tab shows) and an application manifest (it runs
# as the user who started it, and names the Windows versions it was made for, so that
# Windows does not guess its compatibility).
enable_language(RC)
configure_file(${PROJECT_SOURCE_DIR}/packaging/virodaro.rc.in
  ${PROJECT_BINARY_DIR}/packaging/virodaro.rc @ONLY)
target_sources(virodaro PRIVATE ${PROJECT_BINARY_DIR}/packaging/virodaro.rc)
set_property(SOURCE ${PROJECT_BINARY_DIR}/packaging/virodaro.rc APPEND PROPERTY
  OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/virodaro.manifest)

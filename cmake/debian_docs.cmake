# The documents every Debian package carries (its copyright and the changelog, under
# /usr/share/doc/PACKAGE) and the program's manual page, compressed as Debian wants them:
# reproducibly, without a name or a time in the gzip header.

# The manual page names the version it describes.
configure_file(${PROJECT_SOURCE_DIR}/packaging/virodaro.1.in
  ${PROJECT_BINARY_DIR}/packaging/virodaro.1 @ONLY)

set(compressed_docs)
foreach(document ${PROJECT_BINARY_DIR}/packaging/virodaro.1
    ${PROJECT_SOURCE_DIR}/packaging/changelog)
  get_filename_component(name ${document} NAME)
  set(compressed ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9 -n -c ${document} > ${compressed}
    DEPENDS ${document} VERBATIM)
  list(APPEND compressed_docs ${compressed})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed_docs})

# virodaro_install_debian_docs(PACKAGE COMPONENT): the copyright and the changelog of one
# package.
function(virodaro_install_debian_docs package component)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
    ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endfunction()

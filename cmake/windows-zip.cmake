# `cpack -G ZIP` in the Windows build folder: radome-tools-VERSION-win64.zip
# with the programs in bin/, the README, and the manual pages as plain text
# in doc/. Included after the package's common settings, before CPack.
find_program(GROFF_EXECUTABLE groff REQUIRED)
file(GLOB manual_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/doc/*.1)
set(manual_texts)
foreach(page ${manual_pages})
  get_filename_component(name ${page} NAME_WE)
  set(text ${CMAKE_BINARY_DIR}/doc/${name}.txt)
  add_custom_command(OUTPUT ${text}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND sh -c "GROFF_NO_SGR=1 \"$0\" -man -Tutf8 -P-cbou \"$1\" > \"$2\"" ${GROFF_EXECUTABLE} ${page} ${text}
    DEPENDS ${page} VERBATIM)
  list(APPEND manual_texts ${text})
endforeach()
add_custom_target(manual_texts ALL DEPENDS ${manual_texts})
install(FILES ${manual_texts} DESTINATION doc)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME radome-tools-${PROJECT_VERSION}-win64)
# The zip unpacks to one folder holding bin/, doc/ and the README, not to /usr.
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_STRIP_FILES OFF)

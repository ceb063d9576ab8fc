# `cpack -G ZIP` in the Windows build folder: radome-tools-VERSION-win64.zip
# with the programs in bin/, the manual pages as plain text in doc/, and the
# README and the example answer files (installed with the package's common
# settings). Included after those, before CPack.
find_program(GROFF_EXECUTABLE groff REQUIRED)
get_property(registered_programs GLOBAL PROPERTY RADOME_PROGRAMS)
set(manual_texts)
foreach(name ${registered_programs})
  # The zip's copy of the page (cmake/RadomeProgram.cmake).
  set(page ${CMAKE_BINARY_DIR}/man/${name}.1)
  set(text ${CMAKE_BINARY_DIR}/doc/${name}.txt)
  add_custom_command(OUTPUT ${text}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND sh -c "GROFF_NO_SGR=1 \"$0\" -man -Tutf8 -P-cbou \"$1\" > \"$2\"" ${GROFF_EXECUTABLE} ${page} ${text}
    DEPENDS ${page} VERBATIM)
  list(APPEND manual_texts ${text})
endforeach()
add_custom_target(manual_texts ALL DEPENDS ${manual_texts})
install(FILES ${manual_texts} DESTINATION doc)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME radome-tools-${PROJECT_VERSION}-win64)
# The zip unpacks to one folder holding bin/, doc/, examples/ and the README, not to /usr.
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_STRIP_FILES OFF)

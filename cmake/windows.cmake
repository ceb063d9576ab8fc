# What the Windows build adds: muparser built with the same toolchain, the
# manual pages as plain text, and `cpack -G ZIP` in the build folder making
# radome-tools-VERSION-win64.zip (the programs, the README, the manuals).
include(${CMAKE_CURRENT_LIST_DIR}/muparser-mingw.cmake)

# Every program of this build reads and writes bytes as on POSIX (see
# windows/binary_streams.cpp).
add_library(binary_streams OBJECT ${PROJECT_SOURCE_DIR}/windows/binary_streams.cpp)
link_libraries(binary_streams)

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

set(CPACK_PACKAGE_NAME radome-tools)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME radome-tools-${PROJECT_VERSION}-win64)
include(CPack)

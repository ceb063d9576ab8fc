# `cpack -G ZIP` in the WASI build folder: radome-tools-VERSION-web.zip with
# the page, the README and the licence, and nothing else (the component
# "web"). Included after the package's common settings, before CPack.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . COMPONENT web)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME radome-tools-${PROJECT_VERSION}-web)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};web;/")
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_STRIP_FILES OFF)

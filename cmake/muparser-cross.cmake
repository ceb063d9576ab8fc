# muparser for a cross build (Windows, WASI). Debian's source package is
# fetched once into this build folder (cmake/fetch-debian-source), built
# static with the same toolchain and installed beside it at configure time,
# so that find_package(muparser) finds it here as it finds the system's on the
# host. MUPARSER_EXTRA_FLAGS: compiler flags the target needs on top.
set(MUPARSER_CACHE ${CMAKE_BINARY_DIR}/_cache/muparser)
set(MUPARSER_PREFIX ${MUPARSER_CACHE}/install)
if(NOT EXISTS ${MUPARSER_PREFIX}/lib/cmake/muparser/muparserConfig.cmake)
  file(GLOB muparser_tarball ${MUPARSER_CACHE}/muparser_*.orig.tar.gz)
  if(NOT muparser_tarball)
    message(STATUS "Fetching Debian's muparser source into ${MUPARSER_CACHE}")
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/cmake/fetch-debian-source muparser ${MUPARSER_CACHE}
                    RESULT_VARIABLE fetch_result)
    file(GLOB muparser_tarball ${MUPARSER_CACHE}/muparser_*.orig.tar.gz)
    if(NOT fetch_result EQUAL 0 OR NOT muparser_tarball)
      message(FATAL_ERROR "Could not fetch the muparser source package")
    endif()
  endif()
  file(REMOVE_RECURSE ${MUPARSER_CACHE}/src ${MUPARSER_CACHE}/build)
  file(ARCHIVE_EXTRACT INPUT ${muparser_tarball} DESTINATION ${MUPARSER_CACHE}/src)
  file(GLOB muparser_source LIST_DIRECTORIES true ${MUPARSER_CACHE}/src/muparser-*)
  message(STATUS "Building muparser for ${CMAKE_SYSTEM_NAME} (static)")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${muparser_source} -B ${MUPARSER_CACHE}/build
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX=${MUPARSER_PREFIX} -DBUILD_SHARED_LIBS=OFF -DENABLE_OPENMP=OFF
            -DENABLE_SAMPLES=OFF -DENABLE_WIDE_CHAR=OFF -DBUILD_TESTING=OFF
            "-DCMAKE_CXX_FLAGS=-ffp-contract=off -fno-fast-math ${MUPARSER_EXTRA_FLAGS}"
    OUTPUT_QUIET RESULT_VARIABLE configure_result)
  if(configure_result EQUAL 0)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${MUPARSER_CACHE}/build --target install -j2
                    OUTPUT_QUIET RESULT_VARIABLE build_result)
  endif()
  if(NOT configure_result EQUAL 0 OR NOT build_result EQUAL 0)
    message(FATAL_ERROR "Could not build muparser for ${CMAKE_SYSTEM_NAME}")
  endif()
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${MUPARSER_PREFIX})

# What the Windows build adds before the programs: muparser built with the
# same toolchain, and standard streams that carry bytes unchanged. Its zip is
# set up by cmake/windows-zip.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/muparser-cross.cmake)
# The headers declare the library's functions as imported from a DLL unless
# told that it is the static one.
add_compile_definitions(MUPARSER_STATIC)

# Every program of this build reads and writes bytes as on POSIX (see
# windows/binary_streams.cpp).
add_library(binary_streams OBJECT ${PROJECT_SOURCE_DIR}/windows/binary_streams.cpp)
link_libraries(binary_streams)

# WebAssembly build (WASI preview 1) with Debian's clang-19 and lld-19:
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/wasi.cmake
#   cmake --build build-web -j2
# Debian puts wasi-libc and the wasm32 libc++ under /usr/include/wasm32-wasi
# and /usr/lib/wasm32-wasi, so /usr is the sysroot. The programs come out as
# bin/NAME.wasm, and the build makes the web page beside them (cmake/web.cmake).
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
# CMake 3.25 does not know the platform: cmake/Platform/WASI.cmake.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})

# WASI preview 1. Debian's libraries sit under the triple wasm32-wasi, which
# clang 19 still takes for it (with wasm32-wasip1 it finds no headers there).
set(WASI_TARGET wasm32-wasi)
set(CMAKE_C_COMPILER clang-19)
set(CMAKE_CXX_COMPILER clang++-19)
set(CMAKE_C_COMPILER_TARGET ${WASI_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${WASI_TARGET})
# The sysroot goes in the flags rather than CMAKE_SYSROOT, so that find_*()
# looks only where CMAKE_FIND_ROOT_PATH says (the muparser built here) and
# never finds the host's headers under /usr.
set(wasi_flags "--sysroot=/usr -fwasm-exceptions")
find_program(WASI_AR NAMES llvm-ar-19 llvm-ar)
find_program(WASI_RANLIB NAMES llvm-ranlib-19 llvm-ranlib)
set(CMAKE_AR ${WASI_AR} CACHE FILEPATH "")
set(CMAKE_RANLIB ${WASI_RANLIB} CACHE FILEPATH "")

# muparser reports errors with exceptions: WebAssembly's own, which Node and
# Chromium run. Everything is compiled with them, the run-time support too.
set(CMAKE_C_FLAGS_INIT "${wasi_flags}")
set(CMAKE_CXX_FLAGS_INIT "${wasi_flags}")
# The modules are inlined into the page: no debug names, and a stack big
# enough for radomeview's recursive expressions.
set(CMAKE_EXE_LINKER_FLAGS_INIT "${wasi_flags} -Wl,--strip-all -Wl,-z,stack-size=1048576")

set(CMAKE_FIND_ROOT_PATH "")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static libraries only, and the compiler checks must not try to run anything.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# No GoogleTest or Google Benchmark for this target: the tests run the
# modules from the host (tests/web/run).
set(BUILD_TESTING OFF CACHE BOOL "")
set(TEXTIO_BENCH OFF CACHE BOOL "")

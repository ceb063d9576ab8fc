# What the WASI build (toolchain cmake/wasi.cmake) adds before the programs:
# the C++ exception run time, muparser, and the web page (web/CMakeLists.txt).
#
# Debian's wasm32 libc++abi is built without exceptions. The three sources
# that throw and catch (libc++abi's cxa_exception.cpp and cxa_personality.cpp,
# libunwind's Unwind-wasm.c) are taken from Debian's llvm-toolchain-19 source
# package, the same version as the compiler, and built here with WebAssembly
# exceptions; the rest of Debian's libc++abi serves as it is.
enable_language(C)
set(LLVM_CACHE ${CMAKE_BINARY_DIR}/_cache/llvm)
set(LLVM_SOURCE ${LLVM_CACHE}/src)
set(eh_sources
  ${LLVM_SOURCE}/libcxxabi/src/cxa_exception.cpp
  ${LLVM_SOURCE}/libcxxabi/src/cxa_personality.cpp
  ${LLVM_SOURCE}/libunwind/src/Unwind-wasm.c)
if(NOT EXISTS ${LLVM_SOURCE}/libunwind/src/Unwind-wasm.c)
  file(GLOB llvm_tarball ${LLVM_CACHE}/llvm-toolchain-19_*.orig.tar.xz)
  if(NOT llvm_tarball)
    message(STATUS "Fetching Debian's llvm-toolchain-19 source into ${LLVM_CACHE}")
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/cmake/fetch-debian-source llvm-toolchain-19 ${LLVM_CACHE}
                    RESULT_VARIABLE fetch_result)
    file(GLOB llvm_tarball ${LLVM_CACHE}/llvm-toolchain-19_*.orig.tar.xz)
    if(NOT fetch_result EQUAL 0 OR NOT llvm_tarball)
      message(FATAL_ERROR "Could not fetch the llvm-toolchain-19 source package")
    endif()
  endif()
  # Only the folders these sources need (the whole tree is 2 GB).
  message(STATUS "Extracting libc++abi and libunwind")
  file(REMOVE_RECURSE ${LLVM_SOURCE})
  file(MAKE_DIRECTORY ${LLVM_SOURCE})
  execute_process(
    COMMAND tar -xJf ${llvm_tarball} -C ${LLVM_SOURCE} --strip-components=1 --wildcards
            */libcxxabi/src/* */libcxxabi/include/* */libunwind/src/* */libunwind/include/* */libcxx/src/include/*
    RESULT_VARIABLE extract_result)
  if(NOT extract_result EQUAL 0)
    message(FATAL_ERROR "Could not extract libc++abi and libunwind from ${llvm_tarball}")
  endif()
endif()
add_library(wasm_exceptions STATIC ${eh_sources} ${PROJECT_SOURCE_DIR}/wasi/thread_atexit.c)
target_include_directories(wasm_exceptions PRIVATE
  ${LLVM_SOURCE}/libcxxabi/include ${LLVM_SOURCE}/libcxx/src ${LLVM_SOURCE}/libunwind/include)
target_compile_definitions(wasm_exceptions PRIVATE
  NDEBUG _LIBCXXABI_BUILDING_LIBRARY _LIBCPP_BUILDING_LIBRARY LIBCXXABI_USE_LLVM_UNWINDER _LIBUNWIND_HIDE_SYMBOLS)
target_compile_options(wasm_exceptions PRIVATE -w)
link_libraries(wasm_exceptions)

# <csignal> declares its types only with the emulation on; the layer uses
# sig_atomic_t and calls nothing of it here (textio/platform_wasi.cpp).
add_compile_definitions(_WASI_EMULATED_SIGNAL)

set(MUPARSER_EXTRA_FLAGS "--sysroot=/usr -fwasm-exceptions")
include(${CMAKE_CURRENT_LIST_DIR}/muparser-cross.cmake)

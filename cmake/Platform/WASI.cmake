# The WASI platform for CMake versions that do not know it: static
# libraries, and executables that are WebAssembly modules.
set(CMAKE_EXECUTABLE_SUFFIX ".wasm")
set(CMAKE_STATIC_LIBRARY_PREFIX "lib")
set(CMAKE_STATIC_LIBRARY_SUFFIX ".a")
set(CMAKE_FIND_LIBRARY_PREFIXES "lib")
set(CMAKE_FIND_LIBRARY_SUFFIXES ".a")
set_property(GLOBAL PROPERTY TARGET_SUPPORTS_SHARED_LIBS FALSE)
set(UNIX 1)
# Under each root of CMAKE_FIND_ROOT_PATH: include/ and lib/.
set(CMAKE_SYSTEM_PREFIX_PATH /)

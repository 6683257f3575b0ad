# Cross-build for 64-bit Windows with MinGW-w64. Used only to run the tests on hosts whose
# kernel cannot execute 32-bit code (and so cannot run 32-bit Wine); same sources, same flags.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

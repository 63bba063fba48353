# Cross-compiles the same sources for 64-bit Windows, so that the suite runs on hosts that
# execute only 64-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

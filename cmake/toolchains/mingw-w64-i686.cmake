# Cross-build for 32-bit Windows with Debian's MinGW-w64 (package mingw-w64).
# Built to show the 32-bit target compiles and links; it is not run here.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(STAGEHOST_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

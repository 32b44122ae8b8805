# Shared part of the MinGW-w64 cross toolchains. The including file sets
# STAGEHOST_MINGW_TRIPLE (x86_64-w64-mingw32 or i686-w64-mingw32) first.
#
# The posix-threads flavour of the compilers is used (std::thread and friends
# work), and everything is linked with -static so that stagehost.exe, the core
# DLL and engine DLLs need no libstdc++/libgcc/libwinpthread DLLs at run time.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${STAGEHOST_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${STAGEHOST_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${STAGEHOST_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${STAGEHOST_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A DLL exports all its symbols when it marks none for export (the core
# library relies on that, also for the static libraries linked into it);
# --exclude-libs keeps the statically linked compiler runtime out of that
# list, so each binary keeps its own private copy of it.
set(STAGEHOST_MINGW_RUNTIME_LIBS
  libstdc++.a libsupc++.a libgcc.a libgcc_eh.a libwinpthread.a libpthread.a libmingwex.a libmingw32.a)
string(REPLACE ";" ":" STAGEHOST_MINGW_RUNTIME_LIBS "${STAGEHOST_MINGW_RUNTIME_LIBS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,${STAGEHOST_MINGW_RUNTIME_LIBS}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,${STAGEHOST_MINGW_RUNTIME_LIBS}")

# Libraries of the target found under /usr/<triple> (Debian's MinGW packages,
# e.g. libz-mingw-w64-dev) are linked statically: zlib from libz.a, so the
# programs need no zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

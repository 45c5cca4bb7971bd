# Cross-builds for 64-bit Windows on Debian with mingw-w64 (the POSIX thread
# model, which std::thread and Qt need). Used for Qt itself
# (scripts/build-qt-windows) and for the program (make windows).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORV_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${KORV_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${KORV_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers, libraries and CMake packages come only from the mingw-w64 sysroot
# and the cross-built Qt (KORV_QT_WINDOWS, when given), never from the build
# machine's own; programs (moc, rcc, ...) come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KORV_MINGW_TRIPLE})
if(KORV_QT_WINDOWS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${KORV_QT_WINDOWS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

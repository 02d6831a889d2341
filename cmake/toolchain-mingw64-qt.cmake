# Cross build of Qt itself for 64-bit Windows (scripts/build-qt-windows.sh), and through Qt's own
# qt.toolchain.cmake, which loads a copy of this file, of every program built against that Qt.
# Unlike toolchain-mingw64.cmake it names no Wine emulator: Qt must never try to run what it
# builds, it takes its tools from the host Qt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVLOR_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour: Qt's threads and std::mutex need it.
set(CMAKE_C_COMPILER ${TAVLOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVLOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVLOR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVLOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

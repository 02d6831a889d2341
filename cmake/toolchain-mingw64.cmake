# Cross build for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix).
# Builds the core, src/platform/win32 and their tests without Qt:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
#         -DTAVLOR_BUILD_GUI=OFF -DTAVLOR_BUILD_BENCH=OFF
# The tests run under Wine (scripts/test-windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVLOR_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour: std::thread and std::mutex, which GoogleTest uses, need it.
set(CMAKE_C_COMPILER ${TAVLOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVLOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVLOR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVLOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no libstdc++/libgcc/winpthread DLLs to ship into the Wine prefix.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test executables cannot run on the build machine; list their tests only when CTest runs them
# (through Wine) instead of right after linking.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
find_program(TAVLOR_WINE wine)
if(TAVLOR_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVLOR_WINE})
endif()

# GoogleTest is built from Debian's source package inside the cross build (no download).
set(TAVLOR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")

# Shared by the two MinGW-w64 toolchain files, which set VELTRA_MINGW_TRIPLET first. Debian's
# "-posix" compilers are the ones whose C++ runtime has std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VELTRA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELTRA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELTRA_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELTRA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes (libgcc, libstdc++, winpthreads) go inside each executable and DLL, so
# that a folder runs on a bare Windows: only the system's own DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine: 64-bit ones through Wine's 64-bit loader itself, since the "wine"
# command prefers the 32-bit one whenever it is installed.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    find_program(VELTRA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
else()
    find_program(VELTRA_WINE NAMES wine NO_CMAKE_FIND_ROOT_PATH)
endif()
if(VELTRA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/run-under-wine ${VELTRA_WINE})
endif()

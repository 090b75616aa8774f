# The libraries of a Windows build, made from what scripts/windows-deps leaves: Lua 5.4 compiled from
# Debian's source package, googletest from its sources under /usr/src, and the header-only GLM, stb
# and CLI11 from their Debian packages. Each gets the target name its Linux counterpart has.
set(VELTRA_WINDOWS_DEPS ${PROJECT_SOURCE_DIR}/build/windeps CACHE PATH "where scripts/windows-deps left the sources")

set(VELTRA_LUA_SOURCE ${VELTRA_WINDOWS_DEPS}/lua5.4/src)
if(NOT EXISTS ${VELTRA_LUA_SOURCE}/lua.h)
    message(FATAL_ERROR "No Lua sources in ${VELTRA_LUA_SOURCE}: run scripts/windows-deps")
endif()
# The library alone: no interpreter (lua.c) and no compiler (luac.c).
set(VELTRA_LUA_FILES lapi lcode lctype ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes lparser lstate
    lstring ltable ltm lundump lvm lzio lauxlib lbaselib lcorolib ldblib liolib lmathlib loadlib loslib lstrlib
    ltablib lutf8lib linit)
list(TRANSFORM VELTRA_LUA_FILES PREPEND ${VELTRA_LUA_SOURCE}/)
list(TRANSFORM VELTRA_LUA_FILES APPEND .c)
add_library(veltra_lua STATIC ${VELTRA_LUA_FILES})
target_include_directories(veltra_lua SYSTEM PUBLIC ${VELTRA_LUA_SOURCE})
target_compile_options(veltra_lua PRIVATE -w)
add_library(PkgConfig::LUA ALIAS veltra_lua)
set(LUA_INCLUDE_DIRS ${VELTRA_LUA_SOURCE})

# Header-only libraries: their Debian folders, seen through links so that the cross compiler is
# never pointed at the whole of /usr/include.
set(VELTRA_WINDOWS_HEADERS ${CMAKE_BINARY_DIR}/windows-headers)
foreach(folder glm stb CLI)
    if(NOT EXISTS /usr/include/${folder})
        message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/windows-deps")
    endif()
    file(MAKE_DIRECTORY ${VELTRA_WINDOWS_HEADERS})
    file(CREATE_LINK /usr/include/${folder} ${VELTRA_WINDOWS_HEADERS}/${folder} SYMBOLIC)
endforeach()
add_library(veltra_header_libraries INTERFACE)
target_include_directories(veltra_header_libraries SYSTEM INTERFACE ${VELTRA_WINDOWS_HEADERS}
    ${VELTRA_WINDOWS_HEADERS}/stb)

if(VELTRA_BUILD_TESTS)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# stb's image reader and writer: Debian builds them into libstb for Linux; here they are compiled
# from its headers.
file(WRITE ${CMAKE_BINARY_DIR}/stb/StbImplementation.c
    "#define STB_IMAGE_IMPLEMENTATION\n#include <stb_image.h>\n"
    "#define STB_IMAGE_WRITE_IMPLEMENTATION\n#include <stb_image_write.h>\n")
add_library(veltra_stb STATIC ${CMAKE_BINARY_DIR}/stb/StbImplementation.c)
target_link_libraries(veltra_stb PUBLIC veltra_header_libraries)
target_compile_options(veltra_stb PRIVATE -w)

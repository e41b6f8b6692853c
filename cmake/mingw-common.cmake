# The part of the MinGW-w64 toolchain files that both Windows builds share; the file that includes
# this one sets TANDREL_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR.
#
# Third-party static libraries (SQLite, libpng, libjpeg) come from the prefix
# that scripts/install-windows-deps.sh fills:
#   ${TANDREL_DEPS_DIR:-$HOME/.cache/tandrel-deps}/<triple>/{include,lib}
# zlib comes from Debian's libz-mingw-w64-dev under /usr/<triple>.
# Everything links statically: the program needs no DLL beside it.

set(CMAKE_SYSTEM_NAME Windows)

# Prefer the posix-threads compiler variant (std::thread, std::mutex); fall
# back to the default alternative. gcc and g++ always come from one variant.
find_program(TANDREL_MINGW_GXX_POSIX NAMES ${TANDREL_MINGW_TRIPLE}-g++-posix)
if(TANDREL_MINGW_GXX_POSIX)
  set(_tandrel_variant "-posix")
else()
  set(_tandrel_variant "")
endif()
set(CMAKE_C_COMPILER ${TANDREL_MINGW_TRIPLE}-gcc${_tandrel_variant})
set(CMAKE_CXX_COMPILER ${TANDREL_MINGW_TRIPLE}-g++${_tandrel_variant})
set(CMAKE_RC_COMPILER ${TANDREL_MINGW_TRIPLE}-windres)

# Binutils by their triple names (the compiler name's variant suffix keeps
# CMake from deriving them itself).
foreach(_tool ar ranlib nm objcopy objdump strip)
  string(TOUPPER "${_tool}" _var)
  find_program(CMAKE_${_var} NAMES ${TANDREL_MINGW_TRIPLE}-${_tool})
endforeach()

# Where the cross-built libraries live.
if(DEFINED ENV{TANDREL_DEPS_DIR} AND NOT "$ENV{TANDREL_DEPS_DIR}" STREQUAL "")
  set(_tandrel_deps "$ENV{TANDREL_DEPS_DIR}/${TANDREL_MINGW_TRIPLE}")
else()
  set(_tandrel_deps "$ENV{HOME}/.cache/tandrel-deps/${TANDREL_MINGW_TRIPLE}")
endif()
set(TANDREL_DEPS_PREFIX "${_tandrel_deps}" CACHE PATH
    "Prefix of the cross-built static libraries (include/, lib/)")

set(CMAKE_FIND_ROOT_PATH /usr/${TANDREL_MINGW_TRIPLE} "${TANDREL_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static everything: the C and C++ runtimes and winpthread go into the .exe.
# FindZLIB would otherwise prefer the import library libz.dll.a.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

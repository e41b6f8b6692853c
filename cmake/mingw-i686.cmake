# CMake toolchain file: 32-bit Windows (i686-w64-mingw32), the build Tandrel ships, made on Debian
# with MinGW-w64. Use:  cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake ...
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TANDREL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

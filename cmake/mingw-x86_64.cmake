# CMake toolchain file: 64-bit Windows (x86_64-w64-mingw32) from the same sources. The tests run
# it under 64-bit Wine on machines whose kernel runs no 32-bit program (scripts/windows-arch.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TANDREL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

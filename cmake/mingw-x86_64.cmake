# Cross toolchain of the Windows test lane: 64-bit Windows (build/win64), run under
# 64-bit Wine at native speed where 32-bit code cannot run natively.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
set(MINGW_WINE_RUN_ARGS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

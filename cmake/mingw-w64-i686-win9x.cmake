# 32-bit Windows 95/98/Me: the ANSI build, with the win32 thread model's runtime.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
set(MINGW_WINE_RUN_ARGS --32)
set(MINGW_THREADS win32)
set(MOJIFIX_WIN9X ON CACHE BOOL "Build for Windows 95/98/Me")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

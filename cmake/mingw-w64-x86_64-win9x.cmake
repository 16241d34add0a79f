# The Windows 95/98/Me build made for x86-64, for its tests alone: on hosts where Wine's 32-bit
# loader cannot run, the ANSI road is still tested end to end under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
set(MINGW_WINE_RUN_ARGS "")
set(MINGW_THREADS win32)
set(MOJIFIX_WIN9X ON CACHE BOOL "Build for Windows 95/98/Me")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

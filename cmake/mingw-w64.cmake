# Cross-compiling for Windows with Debian's mingw-w64. The including toolchain file sets
# CMAKE_SYSTEM_PROCESSOR, MINGW_PREFIX and MINGW_WINE_RUN_ARGS (what scripts/wine-run.sh needs to
# run the result), and MINGW_THREADS to win32 for the compilers whose runtime runs on Windows
# 95/98/Me (the posix ones pull in winpthreads and XP functions).
set(CMAKE_SYSTEM_NAME Windows)

# On Windows itself, in MSYS2's MINGW64 or MINGW32 environment: that environment's compiler, whose
# windres has no prefix, and its GoogleTest; the tests run as they are, without Wine.
if(CMAKE_HOST_WIN32)
  set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc)
  set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++)
  set(CMAKE_RC_COMPILER windres)
  return()
endif()

if(NOT MINGW_THREADS)
  set(MINGW_THREADS posix)
endif()
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-${MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-${MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests run under Wine through the wrapper, in a prefix of this build's own with the Japanese
# locale, however the build was configured: never in the user's ~/.wine.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  cmake_path(SET wine_run NORMALIZE ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${wine_run} ${MINGW_WINE_RUN_ARGS} --prefix ${CMAKE_BINARY_DIR}/wineprefix)
endif()

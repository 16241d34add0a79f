// Win32Platform: the platform of the Windows build being compiled, for the program and its tests.
#ifndef MOJIFIX_PLATFORM_WIN32_BUILD_PLATFORM_H
#define MOJIFIX_PLATFORM_WIN32_BUILD_PLATFORM_H

#ifdef MOJIFIX_WIN9X
#include "platform/win9x/platform_win9x.h"
#else
#include "platform/nt/platform_nt.h"
#endif

#endif

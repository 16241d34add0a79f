// The short waits for a file that another program holds, shared by every Windows build.
#ifndef MOJIFIX_PLATFORM_WIN32_BUSY_RETRY_H
#define MOJIFIX_PLATFORM_WIN32_BUSY_RETRY_H

#include <windows.h>

#include "platform/platform.h"

namespace mojifix {

// Virus scanners and indexers open a freshly written file for a moment; a delete, rename or
// create that meets one of them is tried again for about 200 ms in all before it counts as failed.
constexpr DWORD kRetryDelays[] = {10, 20, 30, 40, 50, 50};

inline bool isTransientFailure(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// Waits through the platform's own pause, where a test can see each wait. `operation` returns
// its error code, ERROR_SUCCESS when done.
template <typename Operation>
bool retryWhileBusy(Platform& platform, Operation operation) {
  DWORD error = operation();
  for (const DWORD delay : kRetryDelays) {
    if (error == ERROR_SUCCESS || !isTransientFailure(error)) break;
    platform.pause(delay);
    error = operation();
  }
  return error == ERROR_SUCCESS;
}

}  // namespace mojifix

#endif

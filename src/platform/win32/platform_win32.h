// The part of the Windows platform that every Windows build shares.
#ifndef MOJIFIX_PLATFORM_WIN32_PLATFORM_WIN32_H
#define MOJIFIX_PLATFORM_WIN32_PLATFORM_WIN32_H

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/win32/handle.h"

namespace mojifix {

// Message boxes, the environment, events, the restart and the version, in UTF-8; each build
// derives its file services from this (build_platform.h names the one).
class Win32PlatformBase : public Platform {
 public:
  // The window that message boxes are modal to and whose dialog keys (handleDialogKey) work while
  // events are processed; without one, message boxes have no owner.
  void setOwner(HWND owner) { owner_ = owner; }

  MessageResult showMessage(const Message& message) override;
  std::string environmentVariable(const std::string& name) override;
  // Through a named mutex, which exists only while an instance holds it.
  bool claimOperation() override;
  void releaseOperation() override { operation_ = Handle(); }
  // Each build's own: the default's close and renameFile suit neither.
  bool renameIfUnchanged(const std::string& from, const std::string& to,
                         std::uint64_t read) override = 0;
  // Re-posts WM_QUIT when it meets one, so the caller's message loop still ends.
  void processEvents() override;
  void pause(unsigned milliseconds) override;
  void filesChanging() override {
    if (refuseEnding) refuseEnding(owner_, true);
  }
  void filesInPlace() override {
    if (refuseEnding) refuseEnding(owner_, false);
  }
  void (*refuseEnding)(HWND owner, bool refused) = nullptr;
  bool requestRestart() override;
  // From the executable's own version resource; {0, 0, 0} when it carries none.
  AppVersion applicationVersion() override;

 private:
  HWND owner_ = nullptr;
  Handle operation_;
};

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

// The file that `handle` is, from CreateFile; it owns the handle from then on.
std::unique_ptr<File> makeFile(Handle handle);

// Enables the shutdown privilege in the process token, which a restart request needs on
// Windows NT; false when it could not be enabled.
bool enableShutdownPrivilege();

// Makes later DLL loads search System32 only, so that a DLL planted beside the executable (in a
// download folder, say) is never loaded with the program's rights. Called first thing at start-up;
// false when neither way of restricting the search was available.
bool restrictDllSearch();

// Windows 95/98/Me cache win.ini and could later write the cache over a replaced file; flushed
// before win.ini is read. Harmless elsewhere.
void flushSettingsCache();

}  // namespace mojifix

#endif

// The Windows platform: message boxes, files, events and the restart through the Win32 W
// functions.
//
// Paths and texts are UTF-8 here and UTF-16 at each system call. Paths of MAX_PATH characters or
// more are passed in the \\?\ form, so a long Windows directory still works.
//
// Files are reached only through checked handles (win32_checked_files.h).
#ifndef MOJIFIX_PLATFORM_PLATFORM_WIN32_H
#define MOJIFIX_PLATFORM_PLATFORM_WIN32_H

#include <windows.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/win32_checked_files.h"

namespace mojifix {

class Win32Platform : public Platform {
 public:
  // `owner` is the window that message boxes are modal to and whose dialog keys (handleDialogKey)
  // work while events are processed; without one, message boxes have no owner.
  explicit Win32Platform(HWND owner = nullptr) : owner_(owner) {}
  void setOwner(HWND owner) { owner_ = owner; }

  MessageResult showMessage(const Message& message) override;
  std::string environmentVariable(const std::string& name) override;
  // Holds the directory open as well, so that it can be neither renamed nor removed meanwhile.
  void holdDirectory(const std::string& path) override;
  void releaseDirectory() override;
  // These four retry for about 200 ms while another program holds the file, waiting through
  // pause().
  std::unique_ptr<File> openForReading(const std::string& path) override;
  std::unique_ptr<File> openForWriting(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool renameFile(const std::string& from, const std::string& to) override;
  // Re-posts WM_QUIT when it meets one, so the caller's message loop still ends.
  void processEvents() override;
  void pause(unsigned milliseconds) override;
  bool requestRestart() override;
  // From the executable's own version resource; {0, 0, 0} when it carries none.
  AppVersion applicationVersion() override;

 private:
  // The held directory, or else the path's own, held for this call alone.
  const HeldDirectory& directoryOf(const std::wstring& path);

  HWND owner_;
  bool holding_ = false;
  HeldDirectory directory_;
};

// Enables the shutdown privilege in the process token, which a restart request needs on
// Windows NT; false when it could not be enabled.
bool enableShutdownPrivilege();

// Makes later DLL loads search System32 only, so that a DLL planted beside the executable (in a
// download folder, say) is never loaded with the program's rights. Called first thing at start-up;
// false when neither way of restricting the search was available.
bool restrictDllSearch();

}  // namespace mojifix

#endif

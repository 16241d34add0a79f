// The Windows platform: message boxes, files, events and the restart through Win32.
//
// Paths and texts are UTF-8 here. Each build links its own file services: checked handles
// (nt/checked_files.h) with paths of MAX_PATH characters or more in the \\?\ form, or for
// Windows 95/98/Me, whose FAT has no links, the plain ANSI functions (win9x/platform_win9x.cpp).
#ifndef MOJIFIX_PLATFORM_WIN32_PLATFORM_WIN32_H
#define MOJIFIX_PLATFORM_WIN32_PLATFORM_WIN32_H

#include <windows.h>

#include <memory>
#include <string>

#include "platform/nt/checked_files.h"
#include "platform/platform.h"

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
  // These retry for about 200 ms while another program holds the file, waiting through
  // pause().
  std::unique_ptr<File> openForReading(const std::string& path) override;
  std::unique_ptr<File> openForWriting(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool renameFile(const std::string& from, const std::string& to) override;
  bool renameIfUnchanged(const std::string& from, const std::string& to,
                         std::uint64_t read) override;
  // Re-posts WM_QUIT when it meets one, so the caller's message loop still ends.
  void processEvents() override;
  void pause(unsigned milliseconds) override;
  // Calls onFilesInPlace with the owner window.
  void filesInPlace() override {
    if (onFilesInPlace) onFilesInPlace(owner_);
  }
  void (*onFilesInPlace)(HWND owner) = nullptr;
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

// The file that `handle` is, from CreateFile; it owns the handle from then on.
std::unique_ptr<File> makeFile(Handle handle);

// Enables the shutdown privilege in the process token, which a restart request needs on
// Windows NT; false when it could not be enabled.
bool enableShutdownPrivilege();

// Makes later DLL loads search System32 only, so that a DLL planted beside the executable (in a
// download folder, say) is never loaded with the program's rights. Called first thing at start-up;
// false when neither way of restricting the search was available.
bool restrictDllSearch();

// The build for Windows 95/98/Me only: false on Windows NT, where it lacks the link checks.
bool supportedSystem();

// Windows 95/98/Me cache win.ini and could later write the cache over a replaced file; flushed
// before win.ini is read. Harmless elsewhere.
void flushSettingsCache();

}  // namespace mojifix

#endif

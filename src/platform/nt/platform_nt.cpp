// The file services, restart privilege and DLL search of the builds for Windows 7 and later.
#include "platform/nt/platform_nt.h"

#include <utility>

#include "platform/text_file.h"
#include "platform/win32/edge.h"

namespace mojifix {
namespace {

bool isDrivePath(const std::wstring& path) {
  if (path.size() < 3 || path[1] != L':' || (path[2] != L'\\' && path[2] != L'/')) return false;
  const wchar_t drive = path[0];
  return (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
}

// The path as the W functions should get it. Without the \\?\ prefix they refuse MAX_PATH
// characters or more; with it they take the path literally, so it is made full and normal first
// (a doubled backslash, `.` and `..` would otherwise reach the file system as they are).
std::wstring systemPath(const std::string& path) {
  std::wstring wide = toUtf16(path);
  if (wide.size() < MAX_PATH || !isDrivePath(wide)) return wide;
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return wide;
  full.resize(length);
  return L"\\\\?\\" + full;
}

// A directory that another program has open without sharing it is waited for like a file.
HeldDirectory holdWhenFree(Platform& platform, const std::wstring& path) {
  HeldDirectory directory;
  retryWhileBusy(platform, [&] {
    directory = holdDirectoryOf(path);
    return directory.handle.valid() ? ERROR_SUCCESS : GetLastError();
  });
  return directory;
}

}  // namespace

void NtPlatform::holdDirectory(const std::string& path) {
  directory_ = holdWhenFree(*this, systemPath(path));
  holding_ = true;
}

void NtPlatform::releaseDirectory() {
  directory_ = HeldDirectory();
  holding_ = false;
}

const HeldDirectory& NtPlatform::directoryOf(const std::wstring& path) {
  if (!holding_) directory_ = holdWhenFree(*this, path);
  return directory_;
}

std::unique_ptr<File> NtPlatform::openForReading(const std::string& path) {
  flushSettingsCache();
  const std::wstring source = systemPath(path);
  Handle file;
  // Opened as usual, so a link is followed, and the check then refuses what it led to. Readers
  // only: a program that writes the file meanwhile could leave a torn copy to be swapped in.
  retryWhileBusy(*this, [&] {
    return openInPlace(file, directoryOf(source), source, GENERIC_READ, FILE_SHARE_READ,
                       OPEN_EXISTING, 0);
  });
  if (!file.valid()) return nullptr;
  return makeFile(std::move(file));
}

std::unique_ptr<File> NtPlatform::openForWriting(const std::string& path) {
  const std::wstring target = systemPath(path);
  Handle created;
  // Whatever stays under the name (a link the check refused, a directory, a file held open)
  // makes CREATE_NEW fail, so nothing is written through it. A file held open is waited for,
  // whether it could not be deleted yet or a delete left it pending (CREATE_NEW: access denied).
  retryWhileBusy(*this, [&] {
    const HeldDirectory& directory = directoryOf(target);
    const DWORD deleted = deleteInPlace(directory, target);
    if (isTransientFailure(deleted)) return deleted;
    // DELETE lets a file created in the wrong place be taken back.
    return openInPlace(created, directory, target, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT);
  });
  if (!created.valid()) return nullptr;
  return makeFile(std::move(created));
}

bool NtPlatform::deleteFile(const std::string& path) {
  const std::wstring target = systemPath(path);
  return retryWhileBusy(*this, [&] { return deleteInPlace(directoryOf(target), target); });
}

bool NtPlatform::renameFile(const std::string& from, const std::string& to) {
  const std::wstring source = systemPath(from);
  const std::wstring target = systemPath(to);
  return retryWhileBusy(*this, [&] { return renameInPlace(directoryOf(source), source, target); });
}

bool NtPlatform::renameIfUnchanged(const std::string& from, const std::string& to,
                                   std::uint64_t read) {
  const std::wstring source = systemPath(from);
  Handle file;
  // Shared with readers only, one handle reads the file for the check and then renames it.
  retryWhileBusy(*this, [&] {
    return openInPlace(file, directoryOf(source), source, GENERIC_READ | DELETE, FILE_SHARE_READ,
                       OPEN_EXISTING, 0);
  });
  if (!file.valid()) return false;
  const HANDLE handle = file.get();
  LineReader reader(makeFile(std::move(file)));
  return reader.readsAs(read) &&
         renameThrough(directoryOf(source), handle, systemPath(to)) == ERROR_SUCCESS;
}

bool enableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool enabled = false;
  if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr)) {
    // AdjustTokenPrivileges succeeds even when the token lacks the privilege.
    enabled = GetLastError() != ERROR_NOT_ALL_ASSIGNED;
  }
  CloseHandle(token);
  return enabled;
}

bool restrictDllSearch() {
  // Present from Windows 8, and on Windows 7 with update KB2533623 only.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories = edge::systemFunction<SetDefaultDllDirectoriesFunction>(
      "kernel32.dll", "SetDefaultDllDirectories");
  if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return true;
  }
  // Takes at least the current directory out of the search.
  return SetDllDirectoryW(L"") != FALSE;
}

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<NtPlatform>(); }

}  // namespace mojifix

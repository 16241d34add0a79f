// The Windows platform over the Win32 W functions.
#include "platform/platform_win32.h"

#include <cstring>
#include <utility>

#include "platform/win32_checked_files.h"
#include "platform/win32_dialog_keys.h"
#include "platform/win32_text.h"

namespace mojifix {
namespace {

// The largest transfer handed to one ReadFile or WriteFile, well inside a DWORD.
constexpr std::size_t kMaxTransfer = 0x40000000;

DWORD transferSize(std::size_t size) {
  return static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
}

class Win32File final : public File {
 public:
  explicit Win32File(Handle handle) : handle_(std::move(handle)) {}

  ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) override {
    count = 0;
    DWORD got = 0;
    if (!ReadFile(handle_.get(), buffer, transferSize(capacity), &got, nullptr)) {
      return ReadStatus::Error;
    }
    count = got;
    return got == 0 ? ReadStatus::EndOfFile : ReadStatus::Ok;
  }

  bool write(const char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD asked = transferSize(size);
      DWORD put = 0;
      if (!WriteFile(handle_.get(), data, asked, &put, nullptr) || put < asked) return false;
      data += put;
      size -= put;
    }
    return true;
  }

  bool flush() override { return FlushFileBuffers(handle_.get()) != FALSE; }

  bool close() override { return handle_.valid() && CloseHandle(handle_.release()) != FALSE; }

 private:
  Handle handle_;
};

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

// Virus scanners and indexers open a freshly written file for a moment; a delete, rename or
// create that meets one of them is tried again for about 200 ms in all before it counts as failed.
constexpr DWORD kRetryDelays[] = {10, 20, 30, 40, 50, 50};

bool isTransientFailure(DWORD error) {
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

}  // namespace

MessageResult Win32Platform::showMessage(const Message& message) {
  std::wstring title;
  switch (message.titleKind) {
    case TitleKind::Empty:
      break;
    case TitleKind::Application:
      title = toUtf16(kApplicationTitle);
      break;
    case TitleKind::Text:
      title = toUtf16(message.title);
      break;
  }
  const int answer = MessageBoxW(owner_, toUtf16(message.prompt).c_str(), title.c_str(),
                                 static_cast<UINT>(message.style));
  switch (answer) {
    case IDYES:
      return MessageResult::Yes;
    case IDNO:
      return MessageResult::No;
    default:
      return MessageResult::Ok;
  }
}

std::string Win32Platform::environmentVariable(const std::string& name) {
  const std::wstring wideName = toUtf16(name);
  std::wstring value(256, L'\0');
  // The variable may grow between the two calls, hence a loop.
  for (;;) {
    const DWORD length =
        GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) {
      value.resize(length);
      return toUtf8(value);
    }
    value.resize(length);  // the size asked for, terminator included
  }
}

void Win32Platform::holdDirectory(const std::string& path) {
  directory_ = holdDirectoryOf(systemPath(path));
  holding_ = true;
}

void Win32Platform::releaseDirectory() {
  directory_ = HeldDirectory();
  holding_ = false;
}

const HeldDirectory& Win32Platform::directoryOf(const std::wstring& path) {
  if (!holding_) directory_ = holdDirectoryOf(path);
  return directory_;
}

std::unique_ptr<File> Win32Platform::openForReading(const std::string& path) {
  const std::wstring source = systemPath(path);
  Handle file;
  // Opened as usual, so a link is followed, and the check then refuses what it led to. Readers
  // only: a program that writes the file meanwhile could leave a torn copy to be swapped in.
  retryWhileBusy(*this, [&] {
    return openInPlace(file, directoryOf(source), source, GENERIC_READ, FILE_SHARE_READ,
                       OPEN_EXISTING, 0);
  });
  if (!file.valid()) return nullptr;
  return std::make_unique<Win32File>(std::move(file));
}

std::unique_ptr<File> Win32Platform::openForWriting(const std::string& path) {
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
  return std::make_unique<Win32File>(std::move(created));
}

bool Win32Platform::deleteFile(const std::string& path) {
  const std::wstring target = systemPath(path);
  return retryWhileBusy(*this, [&] { return deleteInPlace(directoryOf(target), target); });
}

bool Win32Platform::renameFile(const std::string& from, const std::string& to) {
  const std::wstring source = systemPath(from);
  const std::wstring target = systemPath(to);
  return retryWhileBusy(*this, [&] { return renameInPlace(directoryOf(source), source, target); });
}

void Win32Platform::processEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (owner_ && handleDialogKey(owner_, message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Platform::pause(unsigned milliseconds) { Sleep(milliseconds); }

bool Win32Platform::requestRestart() {
  // Without the privilege the system refuses on its own; asking anyway leaves that decision to it.
  enableShutdownPrivilege();
  // A planned reconfiguration, so the system logs the restart as expected rather than unexpected.
  return ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_RECONFIG |
                                       SHTDN_REASON_FLAG_PLANNED) != FALSE;
}

AppVersion Win32Platform::applicationVersion() {
  // Read from the executable's own resource rather than through version.dll, which is not one of
  // the DLLs that Windows always takes from System32 and so could be planted beside the program.
  const HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  if (!resource) return {};
  const HGLOBAL loaded = LoadResource(nullptr, resource);
  const auto* data = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = SizeofResource(nullptr, resource);
  // VS_VERSIONINFO: three WORDs (length, value length, type), the key L"VS_VERSION_INFO" with its
  // terminator, padding to a 32-bit boundary, then the VS_FIXEDFILEINFO.
  constexpr wchar_t kKey[] = L"VS_VERSION_INFO";
  constexpr std::size_t kKeyOffset = 3 * sizeof(WORD);
  constexpr std::size_t kValueOffset = (kKeyOffset + sizeof(kKey) + 3) & ~std::size_t{3};
  if (!data || size < kValueOffset + sizeof(VS_FIXEDFILEINFO)) return {};
  WORD valueLength = 0;
  std::memcpy(&valueLength, data + sizeof(WORD), sizeof(valueLength));
  if (valueLength < sizeof(VS_FIXEDFILEINFO) ||
      std::memcmp(data + kKeyOffset, kKey, sizeof(kKey)) != 0) {
    return {};
  }
  VS_FIXEDFILEINFO info;
  std::memcpy(&info, data + kValueOffset, sizeof(info));
  if (info.dwSignature != VS_FFI_SIGNATURE) return {};
  return {HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionLS)};
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
  const FARPROC address =
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  // Through void (*)(), the one conversion of function pointers that GCC takes without a warning.
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(address));
  if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return true;
  }
  // Takes at least the current directory out of the search.
  return SetDllDirectoryW(L"") != FALSE;
}

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace mojifix

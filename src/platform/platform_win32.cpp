// The Windows platform over the Win32 W functions.
#include "platform/platform_win32.h"

#include <vector>

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
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) override {
    count = 0;
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, transferSize(capacity), &got, nullptr)) {
      return ReadStatus::Error;
    }
    count = got;
    return got == 0 ? ReadStatus::EndOfFile : ReadStatus::Ok;
  }

  bool write(const char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD asked = transferSize(size);
      DWORD put = 0;
      if (!WriteFile(handle_, data, asked, &put, nullptr) || put < asked) return false;
      data += put;
      size -= put;
    }
    return true;
  }

  bool flush() override { return FlushFileBuffers(handle_) != FALSE; }

  bool close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != FALSE;
  }

 private:
  HANDLE handle_;
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

std::unique_ptr<File> openFile(const std::string& path, DWORD access, DWORD share,
                               DWORD disposition) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open, as the contract wants.
  const HANDLE handle = CreateFileW(systemPath(path).c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(handle);
}

// Virus scanners and indexers open a freshly written file for a moment; a delete or rename that
// meets one of them is tried again for about 200 ms in all before it counts as failed.
constexpr DWORD kRetryDelays[] = {10, 20, 30, 40, 50, 50};

bool isTransientFailure(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// Waits through the platform's own pause, where a test can see each wait.
template <typename Operation>
bool retryWhileBusy(Platform& platform, Operation operation) {
  if (operation()) return true;
  for (const DWORD delay : kRetryDelays) {
    if (!isTransientFailure(GetLastError())) return false;
    platform.pause(delay);
    if (operation()) return true;
  }
  return false;
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
  switch (MessageBoxW(owner_, toUtf16(message.prompt).c_str(), title.c_str(),
                      static_cast<UINT>(message.style))) {
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

std::unique_ptr<File> Win32Platform::openForReading(const std::string& path) {
  return openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
}

std::unique_ptr<File> Win32Platform::openForWriting(const std::string& path) {
  return openFile(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

bool Win32Platform::deleteFile(const std::string& path) {
  const std::wstring target = systemPath(path);
  return retryWhileBusy(*this, [&] { return DeleteFileW(target.c_str()) != FALSE; });
}

bool Win32Platform::renameFile(const std::string& from, const std::string& to) {
  const std::wstring source = systemPath(from);
  const std::wstring target = systemPath(to);
  // MoveFileW without MOVEFILE_REPLACE_EXISTING refuses an existing target.
  return retryWhileBusy(*this, [&] { return MoveFileW(source.c_str(), target.c_str()) != FALSE; });
}

void Win32Platform::processEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (owner_ && IsDialogMessageW(owner_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Platform::pause(unsigned milliseconds) { Sleep(milliseconds); }

bool Win32Platform::requestRestart() {
  // Without the privilege the system refuses on its own; asking anyway leaves that decision to it.
  enableShutdownPrivilege();
  return ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
}

AppVersion Win32Platform::applicationVersion() {
  std::wstring module(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (length == 0) return {};
    if (length < module.size()) {
      module.resize(length);
      break;
    }
    module.resize(module.size() * 2);  // truncated
  }
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeW(module.c_str(), &unused);
  if (size == 0) return {};
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(module.c_str(), 0, size, data.data())) return {};
  void* block = nullptr;
  UINT blockSize = 0;
  if (!VerQueryValueW(data.data(), L"\\", &block, &blockSize) ||
      blockSize < sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
  if (info->dwSignature != VS_FFI_SIGNATURE) return {};
  return {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
          LOWORD(info->dwFileVersionLS)};
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

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace mojifix

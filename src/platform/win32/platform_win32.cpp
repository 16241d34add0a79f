// The services of the Windows platform that every Windows build shares.
#include <cstring>
#include <utility>

#include "platform/win32/dialog_keys.h"
#include "platform/win32/edge.h"
#include "platform/win32/platform_win32.h"

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

}  // namespace

std::unique_ptr<File> makeFile(Handle handle) {
  return std::make_unique<Win32File>(std::move(handle));
}

MessageResult Win32PlatformBase::showMessage(const Message& message) {
  std::string title;
  switch (message.titleKind) {
    case TitleKind::Empty:
      break;
    case TitleKind::Application:
      title = kApplicationTitle;
      break;
    case TitleKind::Text:
      title = message.title;
      break;
  }
  switch (edge::messageBox(owner_, message.prompt, title, static_cast<UINT>(message.style))) {
    case IDYES:
      return MessageResult::Yes;
    case IDNO:
      return MessageResult::No;
    default:
      return MessageResult::Ok;
  }
}

std::string Win32PlatformBase::environmentVariable(const std::string& name) {
  return edge::environmentVariable(name);
}

// A mutex of that name that exists already is another instance's; only the error code tells.
bool Win32PlatformBase::claimOperation() {
  SetLastError(ERROR_SUCCESS);
  const HANDLE mutex = CreateMutex(nullptr, FALSE, TEXT("MOJIFIX winini.tmp"));
  if (!mutex) return false;
  const bool another = GetLastError() == ERROR_ALREADY_EXISTS;
  Handle owned(mutex);
  if (!another) operation_ = std::move(owned);
  return !another;
}

void Win32PlatformBase::processEvents() {
  MSG message;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (owner_ && handleDialogKey(owner_, message)) continue;
    TranslateMessage(&message);
    DispatchMessage(&message);
  }
}

void Win32PlatformBase::pause(unsigned milliseconds) { Sleep(milliseconds); }

bool Win32PlatformBase::requestRestart() {
  // Without the privilege the system refuses on its own; asking anyway leaves that decision to it.
  enableShutdownPrivilege();
  // A planned reconfiguration, so the system logs the restart as expected rather than unexpected.
  return ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_RECONFIG |
                                       SHTDN_REASON_FLAG_PLANNED) != FALSE;
}

AppVersion Win32PlatformBase::applicationVersion() {
  // Read from the executable's own resource rather than through version.dll, which is not one of
  // the DLLs that Windows always takes from System32 and so could be planted beside the program.
  const HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(VS_VERSION_INFO), RT_VERSION);
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

void flushSettingsCache() { WriteProfileStringA(nullptr, nullptr, nullptr); }

}  // namespace mojifix

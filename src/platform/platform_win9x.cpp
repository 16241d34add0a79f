// The file services, restart privilege and DLL search of the build for Windows 95/98/Me, over the
// plain ANSI file functions: FAT has no links, and these systems neither elevate nor have hard
// links. Nothing is replaced, and a held file is waited for, as in the other builds.
#include "platform/platform_win32.h"
#include "platform/win32_busy_retry.h"
#include "platform/win32_edge.h"

namespace mojifix {
namespace {

class AnsiFile final : public File {
 public:
  explicit AnsiFile(HANDLE handle) : handle_(handle) {}
  ~AnsiFile() override { close(); }

  ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) override {
    DWORD got = 0;
    const bool done = ReadFile(handle_, buffer, part(capacity), &got, nullptr);
    count = got;
    return !done ? ReadStatus::Error : got == 0 ? ReadStatus::EndOfFile : ReadStatus::Ok;
  }

  bool write(const char* data, std::size_t size) override {
    for (DWORD put = 0; size > 0; data += put, size -= put) {
      if (!WriteFile(handle_, data, part(size), &put, nullptr) || put < part(size)) return false;
    }
    return true;
  }

  bool flush() override { return FlushFileBuffers(handle_) != FALSE; }

  bool close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle != INVALID_HANDLE_VALUE && CloseHandle(handle) != FALSE;
  }

 private:
  // One transfer, well inside a DWORD.
  static DWORD part(std::size_t size) {
    return static_cast<DWORD>(size < 1u << 30 ? size : 1u << 30);
  }

  HANDLE handle_;
};

// A character that the code page cannot hold exactly would name another file: no file, then, with
// an error that is not retried.
std::optional<std::string> ansiPath(const std::string& path) {
  std::optional<std::string> ansi = edge::toAnsi(path, true);
  if (!ansi) SetLastError(ERROR_NO_UNICODE_TRANSLATION);
  return ansi;
}

}  // namespace

std::unique_ptr<File> Win32Platform::openForReading(const std::string& path) {
  flushSettingsCache();
  const auto name = ansiPath(path);
  const HANDLE file = name ? CreateFileA(name->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                           : INVALID_HANDLE_VALUE;
  return file == INVALID_HANDLE_VALUE ? nullptr : std::make_unique<AnsiFile>(file);
}

std::unique_ptr<File> Win32Platform::openForWriting(const std::string& path) {
  const auto name = ansiPath(path);
  HANDLE created = INVALID_HANDLE_VALUE;
  // Whatever stays under the name (a directory, a file held open) makes CREATE_NEW fail.
  if (!name) return nullptr;
  retryWhileBusy(*this, [&] {
    if (!DeleteFileA(name->c_str()) && isTransientFailure(GetLastError())) return false;
    created = CreateFileA(name->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    return created != INVALID_HANDLE_VALUE;
  });
  return created == INVALID_HANDLE_VALUE ? nullptr : std::make_unique<AnsiFile>(created);
}

bool Win32Platform::deleteFile(const std::string& path) {
  const auto name = ansiPath(path);
  return name && retryWhileBusy(*this, [&] { return DeleteFileA(name->c_str()) != FALSE; });
}

bool Win32Platform::renameFile(const std::string& from, const std::string& to) {
  const auto source = ansiPath(from);
  const auto target = ansiPath(to);
  // MoveFileA never replaces an existing target.
  return source && target && retryWhileBusy(*this, [&] {
           return MoveFileA(source->c_str(), target->c_str()) != FALSE;
         });
}

// A restart needs no privilege on these systems, whose token functions are stubs.
bool enableShutdownPrivilege() { return true; }

// Nothing runs elevated here, so a DLL beside the program gains nothing; nor is there a call to
// restrict the search.
bool restrictDllSearch() { return false; }

// The high bit of GetVersion is set on Windows 95/98/Me.
bool supportedSystem() { return (GetVersion() & 0x80000000u) != 0; }

}  // namespace mojifix

// Pieces of the tests that run under Windows: polling for a state, a thread, the text of a window,
// and a file that another program holds open.
#ifndef MOJIFIX_TESTS_SUPPORT_WIN32_SUPPORT_H
#define MOJIFIX_TESTS_SUPPORT_WIN32_SUPPORT_H

#include <windows.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "platform/win32/edge.h"

namespace mojifix::testing {

// Checks `done` until it holds; false when it still does not after `timeout`.
template <typename Predicate>
bool pollUntil(std::chrono::milliseconds timeout, Predicate done) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Runs `work` on a thread of its own until join(). Not std::thread, which the standard library of
// the build for Windows 95/98/Me lacks.
class Thread {
 public:
  explicit Thread(std::function<void()> work)
      : work_(std::move(work)), handle_(CreateThread(nullptr, 0, run, this, 0, nullptr)) {}
  ~Thread() { join(); }
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  void join() {
    if (handle_) WaitForSingleObject(handle_, INFINITE);
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  static DWORD WINAPI run(void* self) {
    static_cast<Thread*>(self)->work_();
    return 0;
  }

  std::function<void()> work_;
  HANDLE handle_;
};

// The text of a window (UTF-8, up to 64 K characters), read with WM_GETTEXT, which works across
// threads and processes.
inline std::string windowText(HWND hwnd) {
  std::wstring text(65536, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    throw std::runtime_error("WM_GETTEXT timed out");
  }
  text.resize(copied);
  return toUtf8(text);
}

// Keeps a file open the way a virus scanner might (or, with GENERIC_WRITE, a program that writes
// it): others may still read and write it, but nobody can delete or rename it until it is
// released.
class HeldFile {
 public:
  HeldFile() = default;
  explicit HeldFile(const std::wstring& path, DWORD access = GENERIC_READ) { take(path, access); }
  ~HeldFile() { release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  // Holds `path` (letting go of what was held before); false when it cannot be opened.
  bool take(const std::wstring& path, DWORD access = GENERIC_READ) {
    release();
    handle_ = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return held();
  }
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
  void release() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace mojifix::testing

#endif

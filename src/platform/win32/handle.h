// Handle, the owner of a handle from CreateFile, for the file services of every Windows build.
#ifndef MOJIFIX_PLATFORM_WIN32_HANDLE_H
#define MOJIFIX_PLATFORM_WIN32_HANDLE_H

#include <windows.h>

namespace mojifix {

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(Handle&& other) noexcept : handle_(other.release()) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      if (valid()) CloseHandle(handle_);
      handle_ = other.release();
    }
    return *this;
  }

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace mojifix

#endif

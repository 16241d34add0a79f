// Files opened, deleted and renamed only through a handle checked to be the file in place: the
// one under the path's name in the directory the path names (on its volume, at its final path
// plus the name). A link on the way is refused, and so is a file with a second name except in
// the system's own Windows directory. A refusal fails with ERROR_CANT_RESOLVE_FILENAME, which is
// not transient. Nothing here retries; paths are in the form the W functions take.
#ifndef MOJIFIX_PLATFORM_WIN32_CHECKED_FILES_H
#define MOJIFIX_PLATFORM_WIN32_CHECKED_FILES_H

#include <windows.h>

#include <string>

namespace mojifix {

// Owns a handle from CreateFileW.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(Handle&& other) noexcept : handle_(other.release()) {}

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_;
};

// Opens `path` and keeps the handle only when it is the file in place. FILE_FLAG_OPEN_REPARSE_POINT
// in `flags` opens a link on Windows as itself; Wine follows Unix links whatever the flags, and
// the check refuses them. Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
Handle openInPlace(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                   DWORD flags);
// Removes the file in place through a checked handle; a link is never followed to its target.
bool deleteInPlace(const std::wstring& path);
// Renames the file in place through a checked handle, never replacing an existing target.
bool renameInPlace(const std::wstring& from, const std::wstring& to);

}  // namespace mojifix

#endif

// Files opened, deleted and renamed only through a handle checked to be the file in place.
// That is the one under the path's name in a directory held open for the purpose, whose identity
// (volume and file index) the path's directory must still have. A link or junction in the
// directory part is followed as far as it leads to that directory; a name that leads elsewhere is
// refused, and so is a file with a second name except in the system's own Windows directory. A
// refusal fails with ERROR_CANT_RESOLVE_FILENAME, which is not transient. Every service returns
// its error code itself; nothing here retries. Paths are in the form the W functions take.
#ifndef MOJIFIX_PLATFORM_NT_CHECKED_FILES_H
#define MOJIFIX_PLATFORM_NT_CHECKED_FILES_H

#include <windows.h>

#include <string>

#include "platform/win32/handle.h"

namespace mojifix {

// Where an open file or directory is: its volume, its index there, and its path on that volume
// with every link on the way resolved.
struct Location {
  DWORD volume = 0;
  ULONGLONG id = 0;
  DWORD names = 0;  // hard links to a file
  std::wstring path;
};

// The directory that a path names its file in, held open without delete sharing, so that it can
// be neither renamed nor removed while it is held; the handle is invalid when it cannot be held.
struct HeldDirectory {
  Handle handle;
  Location location;
};

HeldDirectory holdDirectoryOf(const std::wstring& path);

// Opens `path` into `file` only when it is the file in place in `directory`.
// FILE_FLAG_OPEN_REPARSE_POINT in `flags` opens a link on Windows as itself; Wine follows Unix
// links whatever the flags, and the check refuses them. Without FILE_FLAG_BACKUP_SEMANTICS a
// directory does not open.
DWORD openInPlace(Handle& file, const HeldDirectory& directory, const std::wstring& path,
                  DWORD access, DWORD share, DWORD disposition, DWORD flags);
// Removes the file in place through a checked handle; a link is never followed to its target.
DWORD deleteInPlace(const HeldDirectory& directory, const std::wstring& path);
// Renames the file in place through a checked handle to the name `to` ends in, in `directory`
// itself, never replacing an existing target. `to` must lead to that same directory.
DWORD renameInPlace(const HeldDirectory& directory, const std::wstring& from,
                    const std::wstring& to);
// The same through `file`, a handle from openInPlace with DELETE access.
DWORD renameThrough(const HeldDirectory& directory, HANDLE file, const std::wstring& to);

}  // namespace mojifix

#endif

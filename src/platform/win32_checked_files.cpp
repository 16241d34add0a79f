// The checked-handle file services over the Win32 W functions.
#include "platform/win32_checked_files.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

namespace mojifix {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Set when a name led somewhere else; no transient failure, so nothing retries it.
constexpr DWORD kNotInPlace = ERROR_CANT_RESOLVE_FILENAME;

// Where an open file is: its volume and its path on that volume, with every link on the way
// resolved. GetFinalPathNameByHandleW gives the same path with the volume's name, but under Wine
// 8 it fails on any path beyond MAX_PATH, which a long Windows directory has.
struct Location {
  DWORD volume = 0;
  ULONGLONG id = 0;  // the file's index on its volume
  DWORD names = 0;   // hard links to the file
  std::wstring path;
};

std::optional<Location> locate(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION file;
  if (!GetFileInformationByHandle(handle, &file)) return std::nullopt;
  const ULONGLONG id = (ULONGLONG{file.nFileIndexHigh} << 32) | file.nFileIndexLow;
  std::vector<unsigned char> buffer(sizeof(FILE_NAME_INFO) + MAX_PATH * sizeof(wchar_t));
  for (;;) {
    const auto* info = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
    if (GetFileInformationByHandleEx(handle, FileNameInfo, buffer.data(),
                                     static_cast<DWORD>(buffer.size()))) {
      return Location{file.dwVolumeSerialNumber, id, file.nNumberOfLinks,
                      std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t))};
    }
    // Too small: the length asked for has been filled in.
    const std::size_t needed = sizeof(FILE_NAME_INFO) + info->FileNameLength;
    if (GetLastError() != ERROR_MORE_DATA || needed <= buffer.size()) return std::nullopt;
    buffer.resize(needed);
  }
}

Handle openDirectory(const wchar_t* path) {
  return Handle(CreateFileW(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Whether `directory` is the system's own Windows directory, which WINDIR may spell otherwise.
bool isSystemWindowsDirectory(const Location& directory) {
  wchar_t path[MAX_PATH] = {};  // stays empty, and so opens nothing, when the call fails
  GetSystemWindowsDirectoryW(path, MAX_PATH);
  const Handle folder = openDirectory(path);
  const auto system = folder.valid() ? locate(folder.get()) : std::nullopt;
  return system && system->volume == directory.volume && system->id == directory.id;
}

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Whether `handle` is the file that `path` names itself: on the volume of the directory that the
// path names, at that directory's final path plus the file's name. A symbolic link, a junction
// or an object-manager link on the way (or a name reached through one) leads elsewhere and is
// refused, so the object checked is the one the caller then acts on through the same handle.
bool isInPlace(HANDLE handle, const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos || cut + 1 == path.size()) return false;
  const std::wstring name = path.substr(cut + 1);
  // Without the separators before the name (a WINDIR that ends in a backslash doubles them),
  // except the one that makes C: its root.
  std::size_t end = cut;
  while (end > 0 && isSeparator(path[end - 1])) --end;
  std::wstring directory = path.substr(0, end);
  if (directory.empty() || directory.back() == L':') directory += L'\\';
  const Handle folder = openDirectory(directory.c_str());
  if (!folder.valid()) return false;
  const auto expected = locate(folder.get());
  const auto actual = locate(handle);
  if (!expected || !actual || actual->volume != expected->volume) return false;
  // A second name (hard link) could make an elevated run copy a file its planter cannot read into
  // a win.ini they can; in the system's own Windows directory only administrators add names.
  if (actual->names != 1 && !isSystemWindowsDirectory(*expected)) return false;
  std::wstring wanted = expected->path;
  if (wanted.empty() || !isSeparator(wanted.back())) wanted += L'\\';
  wanted += name;
  return CompareStringOrdinal(actual->path.c_str(), static_cast<int>(actual->path.size()),
                              wanted.c_str(), static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
}

// Deletes the file that `handle` is, whatever name now leads to it.
bool removeThrough(HANDLE handle) {
  FILE_DISPOSITION_INFO remove{TRUE};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &remove, sizeof remove) != FALSE;
}

}  // namespace

Handle openInPlace(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                   DWORD flags) {
  Handle handle(CreateFileW(path.c_str(), access, share, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL | flags, nullptr));
  if (handle.valid() && !isInPlace(handle.get(), path)) {
    if (disposition == CREATE_NEW) {
      // Created where the name led, not where it stands: take the empty file back.
      removeThrough(handle.get());
    }
    CloseHandle(handle.release());
    SetLastError(kNotInPlace);
  }
  return handle;
}

bool deleteInPlace(const std::wstring& path) {
  const Handle file = openInPlace(path, DELETE | FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT);
  return file.valid() && removeThrough(file.get());
}

bool renameInPlace(const std::wstring& from, const std::wstring& to) {
  const Handle file = openInPlace(from, DELETE | FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT);
  if (!file.valid()) return false;
  // The name runs on past the structure and ends in a NUL, which FileNameLength leaves out.
  std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) +
                                    (to.size() + 1) * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::copy(to.begin(), to.end(), info->FileName);
  info->FileName[to.size()] = L'\0';
  return SetFileInformationByHandle(file.get(), FileRenameInfo, info,
                                    static_cast<DWORD>(buffer.size())) != FALSE;
}

}  // namespace mojifix

// The checked-handle file services over the Win32 W functions.
#include "platform/nt/checked_files.h"

#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/edge.h"

namespace mojifix {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Set when a name led somewhere else; no transient failure, so nothing retries it.
constexpr DWORD kNotInPlace = ERROR_CANT_RESOLVE_FILENAME;

// GetFinalPathNameByHandleW gives the path with the volume's name, but under Wine 8 it fails on
// any path beyond MAX_PATH, which a long Windows directory has.
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

HeldDirectory openDirectory(const std::wstring& path, DWORD share) {
  Handle handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_TRAVERSE, share, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const auto location = handle.valid() ? locate(handle.get()) : std::nullopt;
  if (!location) return {};
  return {std::move(handle), *location};
}

bool sameObject(const Location& a, const Location& b) {
  return a.volume == b.volume && a.id == b.id;
}

// Whether `directory` is the system's own Windows directory, which WINDIR may spell otherwise.
bool isSystemWindowsDirectory(const Location& directory) {
  wchar_t path[MAX_PATH];
  const UINT length = GetSystemWindowsDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  const HeldDirectory system = openDirectory(path, kShareAll);
  return system.handle.valid() && sameObject(system.location, directory);
}

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The path's directory and its last name. The directory goes without the separators before the
// name (a WINDIR that ends in a backslash doubles them), except the one that makes C: its root.
std::pair<std::wstring, std::wstring> splitName(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos || cut + 1 == path.size()) return {};
  std::size_t end = cut;
  while (end > 0 && isSeparator(path[end - 1])) --end;
  std::wstring directory = path.substr(0, end);
  if (directory.empty() || directory.back() == L':') directory += L'\\';
  return {directory, path.substr(cut + 1)};
}

// Whether `handle` is the file that `path` names itself: the path's directory, as it leads now,
// is the held directory, and the file stands there under the path's name. A symbolic link, a
// junction or an object-manager link that leads anywhere else (or a name reached through one) is
// refused, so the object checked is the one the caller then acts on through the same handle.
bool isInPlace(const HeldDirectory& directory, HANDLE handle, const std::wstring& path) {
  const auto [directoryPath, name] = splitName(path);
  if (name.empty()) return false;
  const HeldDirectory named = openDirectory(directoryPath, kShareAll);
  const auto actual = locate(handle);
  if (!named.handle.valid() || !actual || !sameObject(named.location, directory.location) ||
      actual->volume != directory.location.volume) {
    return false;
  }
  // A second name (hard link) could make an elevated run copy a file its planter cannot read into
  // a win.ini they can; in the system's own Windows directory only administrators add names.
  if (actual->names != 1 && !isSystemWindowsDirectory(directory.location)) return false;
  std::wstring wanted = directory.location.path;
  if (wanted.empty() || !isSeparator(wanted.back())) wanted += L'\\';
  wanted += name;
  return CompareStringOrdinal(actual->path.c_str(), static_cast<int>(actual->path.size()),
                              wanted.c_str(), static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
}

// Deletes the file that `handle` is, whatever name now leads to it.
DWORD removeThrough(HANDLE handle) {
  FILE_DISPOSITION_INFO remove{TRUE};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &remove, sizeof remove)
             ? ERROR_SUCCESS
             : GetLastError();
}

}  // namespace

HeldDirectory holdDirectoryOf(const std::wstring& path) {
  return openDirectory(splitName(path).first, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

DWORD openInPlace(Handle& file, const HeldDirectory& directory, const std::wstring& path,
                  DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  if (!directory.handle.valid()) return kNotInPlace;
  file = Handle(CreateFileW(path.c_str(), access, share, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL | flags, nullptr));
  if (!file.valid()) return GetLastError();
  if (isInPlace(directory, file.get(), path)) return ERROR_SUCCESS;
  // Created where the name led, not where it stands: take the empty file back.
  if (disposition == CREATE_NEW) removeThrough(file.get());
  file = Handle();
  return kNotInPlace;
}

DWORD deleteInPlace(const HeldDirectory& directory, const std::wstring& path) {
  Handle file;
  const DWORD error = openInPlace(file, directory, path, DELETE | FILE_READ_ATTRIBUTES, kShareAll,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
  return error != ERROR_SUCCESS ? error : removeThrough(file.get());
}

DWORD renameInPlace(const HeldDirectory& directory, const std::wstring& from,
                    const std::wstring& to) {
  Handle file;
  const DWORD error = openInPlace(file, directory, from, DELETE | FILE_READ_ATTRIBUTES, kShareAll,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
  return error != ERROR_SUCCESS ? error : renameThrough(directory, file.get(), to);
}

DWORD renameThrough(const HeldDirectory& directory, HANDLE file, const std::wstring& to) {
  const auto [toDirectory, toName] = splitName(to);
  if (toName.empty()) return kNotInPlace;
  const HeldDirectory named = openDirectory(toDirectory, kShareAll);
  if (!named.handle.valid() || !sameObject(named.location, directory.location)) return kNotInPlace;
  // The new name is relative to the held directory's handle, so the system never resolves the
  // path again, and a link switched since the check cannot carry the file elsewhere. The name
  // runs on past the structure and ends in a NUL, which FileNameLength leaves out.
  const auto setInformation =
      edge::systemFunction<decltype(&NtSetInformationFile)>("ntdll.dll", "NtSetInformationFile");
  const auto toDosError =
      edge::systemFunction<decltype(&RtlNtStatusToDosError)>("ntdll.dll", "RtlNtStatusToDosError");
  if (!setInformation || !toDosError) return ERROR_CALL_NOT_IMPLEMENTED;
  std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) +
                                    (toName.size() + 1) * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = FALSE;
  info->RootDirectory = directory.handle.get();
  info->FileNameLength = static_cast<DWORD>(toName.size() * sizeof(wchar_t));
  std::copy(toName.begin(), toName.end(), info->FileName);
  info->FileName[toName.size()] = L'\0';
  IO_STATUS_BLOCK io{};
  const NTSTATUS status =
      setInformation(file, &io, info, static_cast<ULONG>(buffer.size()), FileRenameInformation);
  return status >= 0 ? ERROR_SUCCESS : toDosError(status);
}

}  // namespace mojifix

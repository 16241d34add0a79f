// The KERNEL32 functions whose Windows 95 behaviour the model keeps: what they refuse there is
// refused here, then the call goes on to Wine's KERNEL32. Each rule names the documentation it
// follows; where the documentation of the late 1990s does not say that Windows 95 takes a flag,
// the model refuses it.
#include <cstdio>

#include "model.h"

namespace {

// Code pages that the documentation gives to later systems only. MSDN Library (April 2000),
// MultiByteToWideChar and WideCharToMultiByte: CP_UTF7 and CP_UTF8 "Windows NT 4.0 and Windows
// 2000", CP_SYMBOL "Windows 2000"; CP_THREAD_ACP came with Windows 2000. Microsoft KB Q175392,
// "INFO: UTF8 Support": Windows 95 has no UTF-8 (Windows NT 4.0 and 98 have it, with flags 0).
bool laterCodePage(UINT codePage) {
  return codePage == CP_UTF7 || codePage == CP_UTF8 || codePage == CP_THREAD_ACP ||
         codePage == CP_SYMBOL;
}

}  // namespace

// MSDN Library, MultiByteToWideChar: the flags below, none of them marked for a later system.
extern "C" int WINAPI win95MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int size,
                                               LPWSTR wide, int wideSize) {
  constexpr DWORD kDocumented =
      MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
  if (laterCodePage(codePage)) {
    return win95::refuse(ERROR_INVALID_PARAMETER, "MultiByteToWideChar: code page %u", codePage);
  }
  if (flags & ~kDocumented) {
    return win95::refuse(ERROR_INVALID_FLAGS, "MultiByteToWideChar: flags 0x%lx", flags);
  }
  return MultiByteToWideChar(codePage, flags, text, size, wide, wideSize);
}

// MSDN Library, WideCharToMultiByte: the flags below; WC_NO_BEST_FIT_CHARS is "Windows 2000" in
// the April 2000 edition, the first to have it (later texts add 98 and Me).
extern "C" int WINAPI win95WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide,
                                               int wideSize, LPSTR text, int size,
                                               LPCSTR defaultChar, LPBOOL usedDefault) {
  constexpr DWORD kDocumented = WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR;
  if (laterCodePage(codePage)) {
    return win95::refuse(ERROR_INVALID_PARAMETER, "WideCharToMultiByte: code page %u", codePage);
  }
  if (flags & ~kDocumented) {
    return win95::refuse(ERROR_INVALID_FLAGS, "WideCharToMultiByte: flags 0x%lx", flags);
  }
  return WideCharToMultiByte(codePage, flags, wide, wideSize, text, size, defaultChar, usedDefault);
}

// MSDN Library (June 1998), CreateFile and "Directories":
// - FILE_SHARE_DELETE and FILE_FLAG_BACKUP_SEMANTICS are "Windows NT only";
// - "Windows NT: You can obtain a handle to a directory by calling the CreateFile function with
//   the FILE_FLAG_BACKUP_SEMANTICS flag set"; Windows 95 opens none (the model: access denied);
// - on Windows 95 hTemplateFile must be NULL; a handle fails with ERROR_NOT_SUPPORTED;
// - the attributes and flags listed there, before Windows 2000 added its own (encryption, reparse
//   points, remote storage). FILE_FLAG_OVERLAPPED is taken, as there: Windows 95 refuses
//   overlapped input and output on files in ReadFile and WriteFile ("Windows 95 System Services").
// Wine is asked to share deletion all the same, so that DeleteFileA below can delete the file while
// it is open, as Windows 95 does.
extern "C" HANDLE WINAPI win95CreateFileA(LPCSTR name, DWORD access, DWORD share,
                                          LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                          DWORD flags, HANDLE templateFile) {
  constexpr DWORD kDocumented =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
      FILE_ATTRIBUTE_OFFLINE | FILE_FLAG_WRITE_THROUGH | FILE_FLAG_OVERLAPPED |
      FILE_FLAG_NO_BUFFERING | FILE_FLAG_RANDOM_ACCESS | FILE_FLAG_SEQUENTIAL_SCAN |
      FILE_FLAG_DELETE_ON_CLOSE | SECURITY_SQOS_PRESENT | SECURITY_VALID_SQOS_FLAGS;
  const auto refuse = [name](DWORD error, const char* why) {
    win95::refuse(error, "CreateFileA(%s): %s", name ? name : "NULL", why);
    return INVALID_HANDLE_VALUE;
  };
  if (share & FILE_SHARE_DELETE) return refuse(ERROR_INVALID_PARAMETER, "FILE_SHARE_DELETE");
  if (flags & FILE_FLAG_BACKUP_SEMANTICS) {
    return refuse(ERROR_ACCESS_DENIED, "FILE_FLAG_BACKUP_SEMANTICS");
  }
  if (flags & ~kDocumented) return refuse(ERROR_INVALID_PARAMETER, "a flag of later systems");
  if (templateFile) return refuse(ERROR_NOT_SUPPORTED, "a template file");
  const DWORD attributes = name ? GetFileAttributesA(name) : INVALID_FILE_ATTRIBUTES;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return refuse(ERROR_ACCESS_DENIED, "a directory");
  }
  return CreateFileA(name, access, share | FILE_SHARE_DELETE, security, disposition, flags,
                     templateFile);
}

// MSDN Library (April 2000), DeleteFile, Remarks: "Windows 95: The DeleteFile function deletes a
// file even if it is open for normal I/O or as a memory-mapped file. To prevent loss of data, close
// files before attempting to delete them." Windows NT, and Wine, refuse with a sharing violation,
// and Wine keeps a deleted file's name until its last handle closes. So the file first moves to a
// hidden name of its own beside it, which goes when its last handle closes, and which its handles
// still write to, as to the nameless file on Windows 95. Only the files that CreateFileA above
// opened share deletion: one that another program holds without it fails as on Windows NT.
extern "C" BOOL WINAPI win95DeleteFileA(LPCSTR name) {
  static LONG deleted = 0;
  const DWORD attributes = name ? GetFileAttributesA(name) : INVALID_FILE_ATTRIBUTES;
  // A directory, a read-only file or none fails there as here.
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    return DeleteFileA(name);
  }
  const char* base = name;
  for (const char* c = name; *c; ++c) {
    if (*c == '\\' || *c == '/' || *c == ':') base = c + 1;
  }
  char orphan[MAX_PATH];
  const int length = std::snprintf(orphan, sizeof(orphan), "%.*s~deleted-%lx-%ld.tmp",
                                   static_cast<int>(base - name), name, GetCurrentProcessId(),
                                   InterlockedIncrement(&deleted));
  if (length >= static_cast<int>(sizeof(orphan)) || !MoveFileA(name, orphan)) {
    return DeleteFileA(name);
  }
  SetFileAttributesA(orphan, FILE_ATTRIBUTE_HIDDEN);
  if (DeleteFileA(orphan)) return TRUE;
  MoveFileA(orphan, name);
  return FALSE;
}

// MSDN Library, GetProcAddress: NULL when the DLL does not export the function. Wine's DLLs export
// far more than Windows 95's, so a lookup by name in KERNEL32, USER32 or GDI32 is answered by its
// stand-in, which exports what Windows 95 does (its stubs included, as there).
extern "C" FARPROC WINAPI win95GetProcAddress(HMODULE module, LPCSTR name) {
  static const struct {
    const char* real;
    const char* standIn;
  } kDlls[] = {
      {"KERNEL32.dll", WIN95_KERNEL32}, {"USER32.dll", WIN95_USER32}, {"GDI32.dll", WIN95_GDI32}};
  if (!IS_INTRESOURCE(name)) {
    for (const auto& dll : kDlls) {
      if (!module || module != GetModuleHandleA(dll.real)) continue;
      HMODULE standIn = GetModuleHandleA(dll.standIn);
      if (!standIn) standIn = LoadLibraryA(dll.standIn);
      const FARPROC found = standIn ? GetProcAddress(standIn, name) : nullptr;
      if (!found) {
        win95::refuse(ERROR_PROC_NOT_FOUND, "GetProcAddress: %s is not in %s", name, dll.real);
      }
      return found;
    }
  }
  return GetProcAddress(module, name);
}

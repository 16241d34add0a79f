// The record and the failure path that every stand-in DLL of the model compiles in.
#include "model.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace win95 {
namespace {

void writeLine(const char* format, va_list arguments) {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("MOJIFIX_WIN95_MODEL_LOG", path, sizeof(path));
  if (length == 0 || length >= sizeof(path)) return;
  char line[512];
  const int size = std::vsnprintf(line, sizeof(line) - 2, format, arguments);
  if (size < 0) return;
  // A longer line is cut short.
  DWORD used = std::min<DWORD>(static_cast<DWORD>(size), sizeof(line) - 3);
  line[used++] = '\r';
  line[used++] = '\n';
  // Appended whole, so that lines from several calls never mix.
  const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, used, &written, nullptr);
  CloseHandle(file);
}

// Keeps the caller's last error: the record is the model's business, not the program's.
void append(const char* format, va_list arguments) {
  const DWORD error = GetLastError();
  writeLine(format, arguments);
  SetLastError(error);
}

}  // namespace

void record(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  append(format, arguments);
  va_end(arguments);
}

LONG_PTR refuse(DWORD error, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  append(format, arguments);
  va_end(arguments);
  SetLastError(error);
  return 0;
}

LONG_PTR notImplemented(const char* name) {
  return refuse(ERROR_CALL_NOT_IMPLEMENTED, "%s: a stub on Windows 95", name);
}

}  // namespace win95

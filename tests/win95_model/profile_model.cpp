// The cached copy of win.ini that Windows 95's profile functions keep, and another program that
// writes a setting into it at a chosen call of the program.
//
// MSDN Library (June 1998), WriteProfileString, Remarks: Windows 95 keeps a cached version of
// WIN.INI to improve performance; when all three parameters are NULL, the function flushes the
// cache. Knowledge Base Q68360: a flush writes the cache out, and the next GetProfileString reads
// the file on disk into the cache again. Q68827 says that Windows 3.1 compared the file's time
// before a write; nothing says whether Windows 95 kept that check, so the model takes the cautious
// reading: a flush writes the cached copy back whatever happened to the file meanwhile. The copy is
// read from the file when a setting is first written after a flush (or at all); a flush with
// nothing cached writes nothing. GetProfileString, which the program does not call, is Wine's.
//
// That cache is the whole system's; the model's lives in the program's process, so the model plays
// the other program itself: MOJIFIX_WIN95_OTHER_PROGRAM="CALL,N,SECTION,KEY,VALUE" writes the
// setting KEY=VALUE under [SECTION] into the cache just before the program's Nth call of CALL
// (MoveFileA), as another program calling WriteProfileString then would.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "model.h"

namespace {

struct Cache {
  bool loaded = false;
  std::string text;
} cache;

// The program's Windows directory is the one WINDIR names.
std::string settingsPath() {
  char directory[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("WINDIR", directory, sizeof(directory));
  return std::string(directory, length < sizeof(directory) ? length : 0) + "\\win.ini";
}

void load() {
  if (cache.loaded) return;
  cache = {true, ""};
  const HANDLE file =
      CreateFileA(settingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // no win.ini: an empty cache
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    cache.text.append(buffer, got);
  }
  CloseHandle(file);
}

bool flush() {
  if (!cache.loaded) return true;
  cache.loaded = false;
  const HANDLE file = CreateFileA(settingsPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool wrote = WriteFile(file, cache.text.data(), static_cast<DWORD>(cache.text.size()),
                               &written, nullptr) &&
                     written == cache.text.size();
  win95::record("WriteProfileStringA(NULL, NULL, NULL): the cached win.ini written back");
  return CloseHandle(file) && wrote;
}

bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Over the key's line in the section, else after the section's last line, else in a new section
// at the end.
void writeSetting(const std::string& section, const std::string& key, const std::string& value) {
  load();
  std::string& text = cache.text;
  const std::string setting = key + "=" + value + "\r\n";
  std::size_t end = std::string::npos;  // the end of the section's last line, once found
  for (std::size_t start = 0, next = 0; start < text.size(); start = next) {
    next = std::min(text.find('\n', start), text.size() - 1) + 1;
    const std::string line = text.substr(start, text.find_first_of("\r\n", start) - start);
    if (line.compare(0, 1, "[") == 0) {
      if (end != std::string::npos) break;
      if (sameName(line, "[" + section + "]")) end = next;
    } else if (end != std::string::npos) {
      end = next;
      if (sameName(line.substr(0, line.find('=')), key)) {
        text.replace(start, next - start, setting);
        return;
      }
    }
  }
  const bool newSection = end == std::string::npos;
  if (newSection) end = text.size();
  std::string added = newSection ? "[" + section + "]\r\n" + setting : setting;
  if (end > 0 && text[end - 1] != '\n') added = "\r\n" + added;
  text.insert(end, added);
}

// Another program's WriteProfileString before the program's call of `call`, when the variable
// names this one.
void otherProgramBefore(const char* call) {
  static int calls = 0;
  char plan[256];
  const DWORD length = GetEnvironmentVariableA("MOJIFIX_WIN95_OTHER_PROGRAM", plan, sizeof(plan));
  char name[64], section[64], key[64], value[64];
  int at = 0;
  if (length == 0 || length >= sizeof(plan) ||
      std::sscanf(plan, "%63[^,],%d,%63[^,],%63[^,],%63[^,]", name, &at, section, key, value) !=
          5 ||
      std::strcmp(name, call) != 0 || ++calls != at) {
    return;
  }
  writeSetting(section, key, value);
  win95::record("another program wrote [%s] %s=%s before %s #%d", section, key, value, call, at);
}

}  // namespace

// The three NULLs flush the cache; a setting goes into it. Deleting a key or a section, which the
// program never asks for, is not modelled.
extern "C" BOOL WINAPI win95WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value) {
  if (!section && !key && !value) return flush() ? TRUE : FALSE;
  if (!section || !key || !value) {
    return static_cast<BOOL>(
        win95::refuse(ERROR_CALL_NOT_IMPLEMENTED, "WriteProfileStringA: a deletion, not modelled"));
  }
  writeSetting(section, key, value);
  return TRUE;
}

// Wine's MoveFileA, modelled only as a moment at which another program may write a setting.
extern "C" BOOL WINAPI win95MoveFileA(LPCSTR from, LPCSTR to) {
  otherProgramBefore("MoveFileA");
  return MoveFileA(from, to);
}

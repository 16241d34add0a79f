// Makes the calls whose outcome under the model its tests check, named by the first argument, and
// prints what they gave.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// Windows 95 deletes a file held open: its name is free at once, and its handle writes on.
void deleteAnOpenFile() {
  CreateDirectoryA("deleted_open", nullptr);
  const char* name = "deleted_open\\held.tmp";
  const HANDLE held =
      CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  const BOOL deleted = DeleteFileA(name);
  const HANDLE created =
      CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written = 0;
  const BOOL wrote = WriteFile(held, "old", 3, &written, nullptr);
  CloseHandle(held);
  CloseHandle(created);
  int left = 0;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA("deleted_open\\*", &entry);
  do left += entry.cFileName[0] != '.';
  while (FindNextFileA(search, &entry));
  FindClose(search);
  DeleteFileA(name);
  RemoveDirectoryA("deleted_open");
  std::printf("deleted %d, name free %d, old handle writes %d, files left %d\n", deleted,
              created != INVALID_HANDLE_VALUE, wrote, left);
}

}  // namespace

int main(int argc, char** argv) {
  const char* call = argc > 1 ? argv[1] : "";
  if (std::strcmp(call, "DeleteFileA") == 0) deleteAnOpenFile();
  if (std::strcmp(call, "MoveFileExA") == 0) {
    const BOOL moved = MoveFileExA("missing.tmp", "moved.tmp", 0);
    std::printf("MoveFileExA: %d, error %lu\n", moved, GetLastError());
  }
  return 0;
}

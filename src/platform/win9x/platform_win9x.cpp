// The file services, restart privilege and DLL search of the build for Windows 95/98/Me.
#include "platform/win9x/platform_win9x.h"

#include "platform/text_file.h"
#include "platform/win32/edge.h"

namespace mojifix {
namespace {

// Opens `name` into `file`, sharing it with readers only; the error code.
DWORD open(Handle& file, const std::string& name, DWORD access, DWORD disposition) {
  const HANDLE handle = CreateFileA(name.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  file = Handle(handle);
  return error;
}

DWORD errorUnless(BOOL done) { return done ? ERROR_SUCCESS : GetLastError(); }

// MoveFileA never replaces an existing target.
bool move(Platform& platform, const std::string& from, const std::string& to) {
  const auto source = edge::toAnsi(from, true);
  const auto target = edge::toAnsi(to, true);
  return source && target && retryWhileBusy(platform, [&] {
           return errorUnless(MoveFileA(source->c_str(), target->c_str()));
         });
}

}  // namespace

std::unique_ptr<File> Win9xPlatform::openForReading(const std::string& path) {
  flushSettingsCache();
  const auto name = edge::toAnsi(path, true);
  Handle file;
  // Readers only: a program that writes the file meanwhile could leave a torn copy.
  if (name) retryWhileBusy(*this, [&] { return open(file, *name, GENERIC_READ, OPEN_EXISTING); });
  return file.valid() ? makeFile(std::move(file)) : nullptr;
}

std::unique_ptr<File> Win9xPlatform::openForWriting(const std::string& path) {
  const auto name = edge::toAnsi(path, true);
  Handle created;
  // Whatever stays under the name (a directory, a file held open) makes CREATE_NEW fail.
  if (name) {
    retryWhileBusy(*this, [&] {
      const DWORD deleted = errorUnless(DeleteFileA(name->c_str()));
      if (isTransientFailure(deleted)) return deleted;
      return open(created, *name, GENERIC_WRITE, CREATE_NEW);
    });
  }
  return created.valid() ? makeFile(std::move(created)) : nullptr;
}

bool Win9xPlatform::deleteFile(const std::string& path) {
  const auto name = edge::toAnsi(path, true);
  return name && retryWhileBusy(*this, [&] { return errorUnless(DeleteFileA(name->c_str())); });
}

// The swap's last rename, or its way back, puts a win.ini in place: the system's cached copy of the
// old one goes, so that no program reads it or has it written back. Never flushed while there is
// no win.ini, which the flush could make anew.
bool Win9xPlatform::renameFile(const std::string& from, const std::string& to) {
  if (!move(*this, from, to)) return false;
  flushSettingsCache();
  return true;
}

// MoveFileA cannot rename an open file, so the file is closed between the check and the rename.
bool Win9xPlatform::renameIfUnchanged(const std::string& from, const std::string& to,
                                      std::uint64_t read) {
  return fileReadsAs(*this, from, read) && move(*this, from, to);
}

// A restart needs no privilege on these systems, whose token functions are stubs.
bool enableShutdownPrivilege() { return true; }

// Nothing runs elevated here, so a DLL beside the program gains nothing; nor is there a call to
// restrict the search.
bool restrictDllSearch() { return false; }

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<Win9xPlatform>(); }

}  // namespace mojifix

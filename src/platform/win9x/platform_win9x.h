// The platform of the build for Windows 95/98/Me, over the plain ANSI file functions.
#ifndef MOJIFIX_PLATFORM_WIN9X_PLATFORM_WIN9X_H
#define MOJIFIX_PLATFORM_WIN9X_PLATFORM_WIN9X_H

#include "platform/win32/platform_win32.h"

namespace mojifix {

// FAT has no links, and these systems neither elevate nor have hard links: no handle is checked,
// no directory held. A name that the code page cannot hold exactly would name another file, so it
// names none. Nothing is replaced, and a held file is waited for, as in the other builds.
class Win9xPlatform : public Win32PlatformBase {
 public:
  std::unique_ptr<File> openForReading(const std::string& path) override;
  std::unique_ptr<File> openForWriting(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool renameFile(const std::string& from, const std::string& to) override;
  bool renameIfUnchanged(const std::string& from, const std::string& to,
                         std::uint64_t read) override;
};

using Win32Platform = Win9xPlatform;

}  // namespace mojifix

#endif

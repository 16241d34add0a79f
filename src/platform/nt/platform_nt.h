// The platform of the builds for Windows 7 and later, whose files go through checked handles.
#ifndef MOJIFIX_PLATFORM_NT_PLATFORM_NT_H
#define MOJIFIX_PLATFORM_NT_PLATFORM_NT_H

#include "platform/nt/checked_files.h"
#include "platform/win32/platform_win32.h"

namespace mojifix {

class NtPlatform : public Win32PlatformBase {
 public:
  // Holds the directory open as well, so that it can be neither renamed nor removed meanwhile.
  void holdDirectory(const std::string& path) override;
  void releaseDirectory() override;
  std::unique_ptr<File> openForReading(const std::string& path) override;
  std::unique_ptr<File> openForWriting(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool renameFile(const std::string& from, const std::string& to) override;
  bool renameIfUnchanged(const std::string& from, const std::string& to,
                         std::uint64_t read) override;

 private:
  // The held directory, or else the path's own, held for this call alone.
  const HeldDirectory& directoryOf(const std::wstring& path);

  bool holding_ = false;
  HeldDirectory directory_;
};

using Win32Platform = NtPlatform;

}  // namespace mojifix

#endif

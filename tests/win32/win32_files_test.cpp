// The Win32 file services on real files: names beyond ASCII and beyond MAX_PATH, and the retries
// while another program holds a file. Line splitting and byte-exact contents are in the portable
// tests, which run over these services under Wine.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/build_platform.h"
#include "support/temp_directory.h"
#include "support/win32_support.h"

namespace mojifix {
namespace {

using mojifix::testing::HeldFile;
using mojifix::testing::TempDirectory;

bool writeAll(Platform& platform, const std::string& path, const std::string& bytes) {
  auto file = platform.openForWriting(path);
  return file && file->write(bytes.data(), bytes.size()) && file->close();
}

std::optional<std::string> readAll(Platform& platform, const std::string& path) {
  auto file = platform.openForReading(path);
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  std::size_t count = 0;
  ReadStatus status;
  while ((status = file->read(buffer, sizeof buffer, count)) == ReadStatus::Ok) {
    bytes.append(buffer, count);
  }
  if (status == ReadStatus::Error) return std::nullopt;
  return bytes;
}

TEST(Win32Files, RenameNeverReplacesAndReportsFailure) {
  struct Case {
    const char* name;
    bool sourceExists;
    bool targetExists;
    bool renamed;
  };
  const Case cases[] = {
      {"to a new name", true, false, true},
      {"onto an existing target", true, true, false},
      {"from a missing source", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDirectory dir;
    if (c.sourceExists) dir.write("win.ini", "new");
    if (c.targetExists) dir.write("win.ini.old", "old");
    Win32Platform platform;
    EXPECT_EQ(platform.renameFile(dir.path() + "\\win.ini", dir.path() + "\\win.ini.old"),
              c.renamed);
    if (c.renamed) {
      EXPECT_FALSE(dir.exists("win.ini"));
      EXPECT_EQ(dir.read("win.ini.old"), "new");
    } else {
      EXPECT_EQ(dir.read("win.ini"),
                c.sourceExists ? std::optional<std::string>("new") : std::nullopt);
      EXPECT_EQ(dir.read("win.ini.old"),
                c.targetExists ? std::optional<std::string>("old") : std::nullopt);
    }
  }
}

TEST(Win32Files, DeleteReportsWhetherAFileWentAway) {
  TempDirectory dir;
  dir.write("win.ini.old", "old");
  Win32Platform platform;
  EXPECT_TRUE(platform.deleteFile(dir.path() + "\\win.ini.old"));
  EXPECT_FALSE(dir.exists("win.ini.old"));
  EXPECT_FALSE(platform.deleteFile(dir.path() + "\\win.ini.old"));
}

TEST(Win32Files, OpenFailsOnDirectoriesAndMissingFiles) {
  TempDirectory dir;
  std::filesystem::create_directory(dir.file("win.ini"));
  Win32Platform platform;
  EXPECT_EQ(platform.openForWriting(dir.path() + "\\win.ini"), nullptr);
  EXPECT_EQ(platform.openForReading(dir.path() + "\\win.ini"), nullptr);
  EXPECT_EQ(platform.openForReading(dir.path() + "\\missing.ini"), nullptr);
}

TEST(Win32Files, OpenForWritingEmptiesAnExistingFile) {
  TempDirectory dir;
  dir.write("winini.tmp", "a longer earlier content");
  Win32Platform platform;
  ASSERT_TRUE(writeAll(platform, dir.path() + "\\winini.tmp", "new"));
  EXPECT_EQ(dir.read("winini.tmp"), "new");
}

// The system may hand back either letter case, and a file in place must still count as such.
TEST(Win32Files, NamesMatchInAnyLetterCase) {
  TempDirectory dir;
  dir.write("WIN.INI", "kept");
  std::string folder = dir.path();
  for (char& c : folder) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  Win32Platform platform;
  EXPECT_EQ(readAll(platform, folder + "\\win.ini"), "kept");
  EXPECT_TRUE(platform.renameFile(folder + "\\win.ini", folder + "\\win.ini.old"));
  EXPECT_TRUE(platform.deleteFile(folder + "\\Win.Ini.Old"));
  EXPECT_FALSE(dir.exists("win.ini.old"));
}

TEST(Win32Files, JapaneseNamesWork) {
  TempDirectory dir;
  std::filesystem::create_directory(dir.file("日本語フォルダ"));
  const std::string folder = dir.path() + "\\日本語フォルダ";
  Win32Platform platform;

  ASSERT_TRUE(writeAll(platform, folder + "\\設定ファイル.ini", "内容"));
  // Seen through another converter, so a name garbled on the way to the disk would show.
  EXPECT_EQ(dir.read("日本語フォルダ/設定ファイル.ini"), "内容");
  EXPECT_EQ(readAll(platform, folder + "\\設定ファイル.ini"), "内容");

  EXPECT_TRUE(platform.renameFile(folder + "\\設定ファイル.ini", folder + "\\控え.old"));
  EXPECT_EQ(dir.read("日本語フォルダ/控え.old"), "内容");
  EXPECT_TRUE(platform.deleteFile(folder + "\\控え.old"));
  EXPECT_FALSE(dir.exists("日本語フォルダ/控え.old"));
}

std::wstring extendedPath(const std::string& fullPath) {
  return L"\\\\?\\" + std::filesystem::u8path(fullPath).wstring();
}

bool existsOnDisk(const std::string& fullPath) {
  return GetFileAttributesW(extendedPath(fullPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Three nested folders of 100 characters, which take any temporary directory past MAX_PATH. They
// are made and removed through \\?\ paths, which the test directory's own cleanup cannot reach.
class DeepFolders {
 public:
  explicit DeepFolders(std::string path) : path_(std::move(path)) {
    for (const char letter : {'a', 'b', 'c'}) {
      path_ += '\\' + std::string(100, letter);
      if (!CreateDirectoryW(extendedPath(path_).c_str(), nullptr)) return;
      made_.push_back(path_);
    }
  }
  ~DeepFolders() {
    for (const char* leftover : {"\\win.ini", "\\win.ini.old"}) {
      DeleteFileW(extendedPath(path_ + leftover).c_str());
    }
    for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) {
      RemoveDirectoryW(extendedPath(*folder).c_str());
    }
  }
  DeepFolders(const DeepFolders&) = delete;
  DeepFolders& operator=(const DeepFolders&) = delete;

  bool made() const { return made_.size() == 3; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> made_;
};

TEST(Win32Files, LongPathsAndDoubledBackslashesWork) {
  TempDirectory dir;
  const DeepFolders deep(dir.path());
  ASSERT_TRUE(deep.made());
  ASSERT_GE(deep.path().size(), static_cast<std::size_t>(MAX_PATH));

  struct Case {
    const char* name;
    std::string folder;
    std::string separator;
  };
  const Case cases[] = {
      {"long", deep.path(), "\\"},
      {"long with a doubled backslash", deep.path(), "\\\\"},
      {"short with a doubled backslash", dir.path(), "\\\\"},
  };
  Win32Platform platform;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string settings = c.folder + c.separator + "win.ini";
    const std::string backup = settings + ".old";
    ASSERT_TRUE(writeAll(platform, settings, "[FontSubstitutes]\r\n"));
    EXPECT_TRUE(existsOnDisk(c.folder + "\\win.ini"));
    EXPECT_EQ(readAll(platform, settings), "[FontSubstitutes]\r\n");
    EXPECT_TRUE(platform.renameFile(settings, backup));
    EXPECT_TRUE(existsOnDisk(c.folder + "\\win.ini.old"));
    EXPECT_TRUE(platform.deleteFile(backup));
    EXPECT_FALSE(existsOnDisk(c.folder + "\\win.ini.old"));
  }
}

// Hands each wait between the retries to the test instead of sleeping, so the test sees the whole
// schedule and can act during any wait, whatever the machine's speed.
struct PausingPlatform final : Win32Platform {
  std::function<void(unsigned)> onPause;
  void pause(unsigned milliseconds) override { onPause(milliseconds); }
};

TEST(Win32Files, DeleteAndRenameWaitBrieflyForAHeldFile) {
  const std::vector<unsigned> allWaits = {10, 20, 30, 40, 50, 50};
  // Create: openForWriting over a stale file; Read: openForReading a file another program writes.
  enum Service { Delete, Rename, Create, Read };
  struct Case {
    const char* name;
    Service service;
    std::size_t releaseAt;  // the wait during which the file is released; 0: never
    std::vector<unsigned> waits;
  };
  const Case cases[] = {
      {"delete, released during the first wait", Delete, 1, {10}},
      {"rename, released during the last wait", Rename, 6, allWaits},
      {"delete, never released", Delete, 0, allWaits},
      {"rename, never released", Rename, 0, allWaits},
      {"create, undeletable until the second wait", Create, 2, {10, 20}},
      {"read, written until the first wait", Read, 1, {10}},
      {"read, written throughout", Read, 0, allWaits},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDirectory dir;
    dir.write("win.ini", "held");
    HeldFile holder(dir.file("win.ini").wstring(),
                    c.service == Read ? GENERIC_WRITE : GENERIC_READ);
    ASSERT_TRUE(holder.held());

    std::vector<unsigned> waits;
    PausingPlatform platform;
    platform.onPause = [&](unsigned milliseconds) {
      waits.push_back(milliseconds);
      if (waits.size() == c.releaseAt) holder.release();
    };
    const std::string settings = dir.path() + "\\win.ini";
    const bool done = c.service == Create   ? platform.openForWriting(settings) != nullptr
                      : c.service == Read   ? platform.openForReading(settings) != nullptr
                      : c.service == Rename ? platform.renameFile(settings, settings + ".old")
                                            : platform.deleteFile(settings);

    const bool released = c.releaseAt != 0;
    EXPECT_EQ(done, released);
    const char* left = !released || c.service == Read ? "held" : c.service == Create ? "" : "none";
    EXPECT_EQ(dir.read("win.ini").value_or("none"), left);
    EXPECT_EQ(dir.exists("win.ini.old"), c.service == Rename && released);
    EXPECT_EQ(waits, c.waits);
  }
}

}  // namespace
}  // namespace mojifix

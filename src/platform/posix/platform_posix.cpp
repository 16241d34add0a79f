// The POSIX platform: real files, so that the logic runs natively, and a terminal for messages.
// Paths keep the Windows form the logic builds: a backslash is taken as a separator. A rename
// never replaces an existing target, as on Windows. A name that is a symbolic link is refused, so
// the same cases give the same outcomes as the checked handles on Windows.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "version.h"

namespace mojifix {
namespace {

std::string nativePath(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

class PosixFile final : public File {
 public:
  explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
  ~PosixFile() override {
    if (descriptor_ >= 0) ::close(descriptor_);
  }

  ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) override {
    count = 0;
    for (;;) {
      const ssize_t got = ::read(descriptor_, buffer, capacity);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return ReadStatus::Error;
      count = static_cast<std::size_t>(got);
      return got == 0 ? ReadStatus::EndOfFile : ReadStatus::Ok;
    }
  }

  bool write(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t put = ::write(descriptor_, data, size);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      data += put;
      size -= static_cast<std::size_t>(put);
    }
    return true;
  }

  bool flush() override { return ::fsync(descriptor_) == 0; }

  bool close() override {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return ::close(descriptor) == 0;
  }

 private:
  int descriptor_;
};

std::unique_ptr<File> openFile(const std::string& path, int flags) {
  const int descriptor = ::open(nativePath(path).c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (descriptor < 0) return nullptr;
  struct stat status {};
  // A second hard link is refused as on Windows: it could be a file from elsewhere.
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_nlink != 1) {
    ::close(descriptor);
    return nullptr;
  }
  return std::make_unique<PosixFile>(descriptor);
}

// A symbolic link, or a file with a second hard link. Unlink and rename act on the name itself,
// which is harmless; refusing it anyway keeps the outcomes those of the Windows platform.
bool isLinked(const std::string& nativePath) {
  struct stat status {};
  return ::lstat(nativePath.c_str(), &status) == 0 &&
         (S_ISLNK(status.st_mode) || status.st_nlink != 1);
}

const char* titleText(const Message& message) {
  switch (message.titleKind) {
    case TitleKind::Empty:
      return "";
    case TitleKind::Application:
      return kApplicationTitle;
    case TitleKind::Text:
      return message.title.c_str();
  }
  return "";
}

class PosixPlatform final : public Platform {
 public:
  MessageResult showMessage(const Message& message) override {
    std::cerr << '[' << titleText(message) << "] " << message.prompt << '\n';
    if (message.style != MessageStyle::YesNoQuestion) return MessageResult::Ok;
    std::cerr << "(y/n) " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return MessageResult::No;
    return answer == "y" || answer == "Y" ? MessageResult::Yes : MessageResult::No;
  }

  std::string environmentVariable(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
  }

  std::unique_ptr<File> openForReading(const std::string& path) override {
    return openFile(path, O_RDONLY);
  }

  std::unique_ptr<File> openForWriting(const std::string& path) override {
    // Only a regular file of one name is removed; anything else stays and makes O_EXCL fail.
    const std::string native = nativePath(path);
    struct stat status {};
    if (::lstat(native.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 1) {
      ::unlink(native.c_str());
    }
    return openFile(path, O_WRONLY | O_CREAT | O_EXCL);
  }

  bool deleteFile(const std::string& path) override {
    const std::string native = nativePath(path);
    return !isLinked(native) && ::unlink(native.c_str()) == 0;
  }

  bool renameFile(const std::string& from, const std::string& to) override {
    const std::string source = nativePath(from);
    const std::string target = nativePath(to);
    if (isLinked(source)) return false;
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
      return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without RENAME_NOREPLACE: link + unlink refuses an existing target too.
    if (::link(source.c_str(), target.c_str()) != 0) return false;
    if (::unlink(source.c_str()) != 0) {
      ::unlink(target.c_str());
      return false;
    }
    return true;
  }

  void processEvents() override {}

  void pause(unsigned milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  // There is no system restart to ask for here.
  bool requestRestart() override { return false; }

  AppVersion applicationVersion() override {
    return {MOJIFIX_VERSION_MAJOR, MOJIFIX_VERSION_MINOR, MOJIFIX_VERSION_REVISION};
  }
};

}  // namespace

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<PosixPlatform>(); }

}  // namespace mojifix

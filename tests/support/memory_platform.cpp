// In-memory files behind the platform interface.
#include "support/memory_platform.h"

#include <algorithm>
#include <cstring>

#include "fontsubst/messages.h"

namespace mojifix::testing {
namespace {

class MemoryReader final : public File {
 public:
  MemoryReader(std::string contents, std::size_t step)
      : contents_(std::move(contents)), step_(step) {}
  ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) override {
    count = std::min({capacity, step_, contents_.size() - position_});
    std::memcpy(buffer, contents_.data() + position_, count);
    position_ += count;
    return count == 0 ? ReadStatus::EndOfFile : ReadStatus::Ok;
  }
  bool write(const char*, std::size_t) override { return false; }
  bool flush() override { return true; }
  bool close() override { return true; }

 private:
  std::string contents_;
  std::size_t step_;
  std::size_t position_ = 0;
};

class MemoryWriter final : public File {
 public:
  explicit MemoryWriter(std::string& target) : target_(target) { target_.clear(); }
  ReadStatus read(char*, std::size_t, std::size_t& count) override {
    count = 0;
    return ReadStatus::Error;
  }
  bool write(const char* data, std::size_t size) override {
    target_.append(data, size);
    return true;
  }
  bool flush() override { return true; }
  bool close() override { return true; }

 private:
  std::string& target_;
};

}  // namespace

MessageResult MemoryPlatform::showMessage(const Message& message) {
  messages.push_back(message);
  if (message.style != MessageStyle::YesNoQuestion) return MessageResult::Ok;
  return message == messages::restartQuestion() ? MessageResult::No : MessageResult::Yes;
}

std::string MemoryPlatform::environmentVariable(const std::string& name) {
  const auto found = environment.find(name);
  return found == environment.end() ? std::string() : found->second;
}

std::unique_ptr<File> MemoryPlatform::openForReading(const std::string& path) {
  const auto found = files.find(path);
  if (found == files.end()) return nullptr;
  return std::make_unique<MemoryReader>(found->second, readStep);
}

std::unique_ptr<File> MemoryPlatform::openForWriting(const std::string& path) {
  return std::make_unique<MemoryWriter>(files[path]);
}

bool MemoryPlatform::deleteFile(const std::string& path) { return files.erase(path) == 1; }

bool MemoryPlatform::renameFile(const std::string& from, const std::string& to) {
  const auto found = files.find(from);
  if (found == files.end() || files.count(to) != 0) return false;
  std::string contents = std::move(found->second);
  files.erase(found);
  files[to] = std::move(contents);
  return true;
}

}  // namespace mojifix::testing

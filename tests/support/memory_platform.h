// A platform whose files live in memory, for running whole operations many times fast (fuzzing).
// Every Yes/No question is answered Yes, except the restart, which is answered No.
#ifndef MOJIFIX_TESTS_MEMORY_PLATFORM_H
#define MOJIFIX_TESTS_MEMORY_PLATFORM_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace mojifix::testing {

class MemoryPlatform final : public Platform {
 public:
  std::map<std::string, std::string> files;
  std::map<std::string, std::string> environment;
  std::vector<Message> messages;
  // The most bytes one read hands out, as a file system may hand out fewer than asked for.
  std::size_t readStep = SIZE_MAX;

  MessageResult showMessage(const Message& message) override;
  std::string environmentVariable(const std::string& name) override;
  std::unique_ptr<File> openForReading(const std::string& path) override;
  std::unique_ptr<File> openForWriting(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool renameFile(const std::string& from, const std::string& to) override;
  void processEvents() override {}
  void pause(unsigned) override {}
  bool requestRestart() override { return false; }
  AppVersion applicationVersion() override { return {}; }
};

}  // namespace mojifix::testing

#endif

// The scripted test platform.
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <utility>

namespace mojifix::testing {
namespace {

class ScriptedFile final : public File {
 public:
  ScriptedFile(ScriptedPlatform& owner, std::unique_ptr<File> file)
      : owner_(owner), file_(std::move(file)) {}

  ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) override {
    count = 0;
    if (!owner_.admit("read")) return ReadStatus::Error;
    return file_->read(buffer, capacity, count);
  }
  bool write(const char* data, std::size_t size) override {
    return owner_.admit("write") && file_->write(data, size);
  }
  bool flush() override { return owner_.admit("flush") && file_->flush(); }
  bool close() override {
    const bool admitted = owner_.admit("close");
    // The handle is released either way, as a failed close on Windows still releases it.
    return file_->close() && admitted;
  }

 private:
  ScriptedPlatform& owner_;
  std::unique_ptr<File> file_;
};

}  // namespace

ScriptedPlatform::ScriptedPlatform() : system_(makeSystemPlatform()) {}

bool ScriptedPlatform::admit(const std::string& what) {
  ++fileCalls;
  log.push_back(what);
  if (fileCalls == cutPowerAtCall) throw PowerCut{};
  if (failIf && failIf(what)) return false;
  return !(fileCalls == failCall || (failLaterCalls && failCall > 0 && fileCalls > failCall));
}

std::unique_ptr<File> ScriptedPlatform::wrap(std::unique_ptr<File> file) {
  if (!file) return nullptr;
  return std::make_unique<ScriptedFile>(*this, std::move(file));
}

MessageResult ScriptedPlatform::showMessage(const Message& message) {
  messages.push_back(message);
  log.push_back("message");
  if (message.style != MessageStyle::YesNoQuestion) return MessageResult::Ok;
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected question: " << message.prompt;
    return MessageResult::No;
  }
  const MessageResult answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string ScriptedPlatform::environmentVariable(const std::string& name) {
  const auto found = environment.find(name);
  return found == environment.end() ? std::string() : found->second;
}

std::unique_ptr<File> ScriptedPlatform::openForReading(const std::string& path) {
  if (!admit("open-read " + path)) return nullptr;
  return wrap(system_->openForReading(path));
}

std::unique_ptr<File> ScriptedPlatform::openForWriting(const std::string& path) {
  if (!admit("open-write " + path)) return nullptr;
  return wrap(system_->openForWriting(path));
}

bool ScriptedPlatform::deleteFile(const std::string& path) {
  return admit("delete " + path) && system_->deleteFile(path);
}

bool ScriptedPlatform::renameFile(const std::string& from, const std::string& to) {
  return admit("rename " + from + " > " + to) && system_->renameFile(from, to);
}

bool ScriptedPlatform::renameIfUnchanged(const std::string& from, const std::string& to,
                                         std::uint64_t read) {
  return admit("rename " + from + " > " + to) && system_->renameIfUnchanged(from, to, read);
}

void ScriptedPlatform::processEvents() { log.push_back("events"); }

void ScriptedPlatform::pause(unsigned milliseconds) {
  log.push_back("pause " + std::to_string(milliseconds));
}

bool ScriptedPlatform::requestRestart() {
  log.push_back("restart");
  ++restartRequests;
  return restartAccepted;
}

AppVersion ScriptedPlatform::applicationVersion() { return system_->applicationVersion(); }

}  // namespace mojifix::testing

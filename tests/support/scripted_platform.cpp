// The scripted test platform.
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace mojifix::testing {
namespace {

class ScriptedFile;
// The files open through any scripted platform, by path.
std::multimap<std::string, ScriptedFile*> openFiles;

class ScriptedFile final : public File {
 public:
  ScriptedFile(ScriptedPlatform& owner, std::unique_ptr<File> file, const std::string& path)
      : owner_(owner), file_(std::move(file)), entry_(openFiles.emplace(path, this)) {}
  ~ScriptedFile() override { openFiles.erase(entry_); }

  // Its name is deleted: the system's file is closed, and this one takes every write.
  void orphan() {
    if (!orphaned_) file_->close();
    orphaned_ = true;
  }

  ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) override {
    count = 0;
    if (!owner_.admit("read")) return ReadStatus::Error;
    return file_->read(buffer, capacity, count);
  }
  bool write(const char* data, std::size_t size) override {
    return owner_.admit("write") && (orphaned_ || file_->write(data, size));
  }
  bool flush() override { return owner_.admit("flush") && (orphaned_ || file_->flush()); }
  bool close() override {
    const bool admitted = owner_.admit("close");
    // The handle is released either way, as a failed close on Windows still releases it.
    return (orphaned_ || file_->close()) && admitted;
  }

 private:
  ScriptedPlatform& owner_;
  std::unique_ptr<File> file_;
  std::multimap<std::string, ScriptedFile*>::iterator entry_;
  bool orphaned_ = false;
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

std::unique_ptr<File> ScriptedPlatform::wrap(std::unique_ptr<File> file, const std::string& path) {
  if (!file) return nullptr;
  return std::make_unique<ScriptedFile>(*this, std::move(file), path);
}

void ScriptedPlatform::deleteOpenFiles(const std::string& path) {
  const auto range = openFiles.equal_range(path);
  for (auto open = range.first; deletesOpenFiles && open != range.second; ++open) {
    open->second->orphan();
  }
}

bool ScriptedPlatform::claimOperation() {
  if (!admit("claim") || operationClaimed) return false;
  operationClaimed = true;
  return true;
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
  return wrap(system_->openForReading(path), path);
}

std::unique_ptr<File> ScriptedPlatform::openForWriting(const std::string& path) {
  if (!admit("open-write " + path)) return nullptr;
  deleteOpenFiles(path);
  return wrap(system_->openForWriting(path), path);
}

bool ScriptedPlatform::deleteFile(const std::string& path) {
  if (!admit("delete " + path)) return false;
  deleteOpenFiles(path);
  return system_->deleteFile(path);
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

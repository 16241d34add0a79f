// A platform for tests: real files through the system's own platform, with the user's answers
// scripted, every call recorded, and any file-service call made to fail or to stop the program
// dead (as a power cut would).
#ifndef MOJIFIX_TESTS_SCRIPTED_PLATFORM_H
#define MOJIFIX_TESTS_SCRIPTED_PLATFORM_H

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace mojifix::testing {

// Thrown at the chosen call to model the process dying there.
struct PowerCut {};

class ScriptedPlatform final : public Platform {
 public:
  ScriptedPlatform();

  // Answers for the Yes/No boxes, in order; a Yes/No box with no answer left fails the test.
  std::deque<MessageResult> answers;
  std::map<std::string, std::string> environment;
  bool restartAccepted = true;

  // File-service calls (open, read, write, flush, close, delete, rename) are numbered from 1.
  // `failCall` makes call N fail; with `failLaterCalls` every call after it fails too.
  // `cutPowerAtCall` throws PowerCut instead of making call N.
  int failCall = 0;
  bool failLaterCalls = false;
  int cutPowerAtCall = 0;
  // Makes any call fail for which it returns true; it sees the call as logged.
  std::function<bool(const std::string& call)> failIf;
  // Deletes a file that any scripted platform holds open, as Windows 95/98/Me do: its handle
  // writes on into a file without a name.
  bool deletesOpenFiles = false;

  std::vector<Message> messages;
  // Every call in order: "message", "delete <path>", "rename <from> > <to>", "events",
  // "pause <ms>", "restart", and the file services by name.
  std::vector<std::string> log;
  int fileCalls = 0;
  int restartRequests = 0;

  // Counts one file-service call; false when it is to fail.
  bool admit(const std::string& what);

  MessageResult showMessage(const Message& message) override;
  std::string environmentVariable(const std::string& name) override;
  void holdDirectory(const std::string& path) override { system_->holdDirectory(path); }
  void releaseDirectory() override { system_->releaseDirectory(); }
  // "claim", a file-service call: one operation at a time across scripted platforms, as the
  // system's platform does across processes (whose claim a test here must not meet).
  bool claimOperation() override;
  void releaseOperation() override { operationClaimed = false; }
  std::unique_ptr<File> openForReading(const std::string& path) override;
  std::unique_ptr<File> openForWriting(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool renameFile(const std::string& from, const std::string& to) override;
  // Logged as the rename it is: the system's platform checks and renames in one step.
  bool renameIfUnchanged(const std::string& from, const std::string& to,
                         std::uint64_t read) override;
  void processEvents() override;
  void pause(unsigned milliseconds) override;
  bool requestRestart() override;
  AppVersion applicationVersion() override;

 private:
  std::unique_ptr<File> wrap(std::unique_ptr<File> file, const std::string& path);
  void deleteOpenFiles(const std::string& path);

  static inline bool operationClaimed = false;

  std::unique_ptr<Platform> system_;
};

}  // namespace mojifix::testing

#endif

// Shared pieces of the end-to-end tests that break things for real: the boxes the program is
// expected to show, a Windows directory reached through \\?\ paths (so that long paths work) with
// a byte-exact snapshot of everything in it, and, under Wine, Linux-side helpers.
#ifndef MOJIFIX_TESTS_E2E_E2E_SUPPORT_H
#define MOJIFIX_TESTS_E2E_E2E_SUPPORT_H

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "e2e/app_driver.h"
#include "support/temp_directory.h"

namespace mojifix::e2e {

struct Expected {
  std::string prompt;  // one that starts with a backslash follows the Windows directory
  int style;           // 16 stop/OK, 36 question/Yes-No, 48 exclamation/OK, 64 information/OK
  std::string title;
};

extern const Expected kConfirmApply, kApplied, kConfirmRemove, kRemoved, kRestart, kSectionMissing,
    kNotApplied, kNotReplaced, kSettingsOpenFailure, kTemporaryOpenFailure, kTemporaryWriteFailure;

const Expected& confirmation(int button);
const Expected& completion(int button);

// Waits for the next box, checks it against `expected` (its path prefixed by `windir`) and
// presses `answer`; Yes goes only to the box that was expected.
void expectBox(const App& app, const Expected& expected, int answer, const std::string& windir);
// The operation is over: no further box, and the program waits for the next click.
void expectIdle(const App& app);
void closeApp(const App& app);

// Name → what the name holds: a file's bytes (marked when read-only), "<device>", or
// "<directory>" followed by its own entries.
using Snapshot = std::map<std::string, std::string>;

// Reports each name whose entry differs, with sizes and the first differing byte rather than
// whole files (some are a megabyte).
void expectSnapshot(const Snapshot& actual, const Snapshot& expected);

// A directory that stands in for the Windows directory, at `relative` (UTF-8, may be nested and
// long) inside a fresh temporary directory; removed with everything in it afterwards.
class WindowsDirectory {
 public:
  explicit WindowsDirectory(const std::string& relative = "");
  // The system's own Windows directory instead, spelt in capitals. Only the operations' three
  // names are touched: cleared here, put back as they were afterwards, and all that snapshot()
  // shows, since Wine and the other tests use the directory too.
  struct System {};
  explicit WindowsDirectory(System);
  ~WindowsDirectory();
  WindowsDirectory(const WindowsDirectory&) = delete;
  WindowsDirectory& operator=(const WindowsDirectory&) = delete;

  // As the program gets it in WINDIR (UTF-8, no \\?\ prefix).
  const std::string& path() const { return path_; }
  // The \\?\ form of a name inside it.
  std::wstring file(const std::string& name) const;

  void write(const std::string& name, const std::string& bytes) const;
  void makeDirectory(const std::string& name) const;
  void setReadOnly(const std::string& name, bool readOnly) const;
  Snapshot snapshot() const;

 private:
  mojifix::testing::TempDirectory root_;
  std::string path_;
  std::map<std::string, std::optional<std::string>> saved_;  // the system directory's names
};

bool underWine();
// Wine only: makes `path` a symbolic (or hard) link to `target` (both Windows paths), or removes
// the link,
// with ln and rm. Wine cannot make a link itself (CreateSymbolicLinkW is a stub that claims
// success), but its CreateProcessW runs Linux programs. False when that is not possible or does
// not work.
bool makeUnixLink(const std::wstring& path, const std::wstring& target, bool hard = false);
bool removeUnixLink(const std::wstring& path);
// Whether `path` opens as a character device (what a link to one looks like to Wine).
bool isDevice(const std::wstring& path);

}  // namespace mojifix::e2e

#endif

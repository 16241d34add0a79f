// Drives MOJIFIX.exe from outside, as a user would: starts it with a chosen Windows directory,
// reads its window and message boxes, clicks, presses keys and answers the boxes.
//
// Every wait has a timeout; a step that fails throws DriverError, and the program is then ended
// by App's destructor, so a failing test never leaves it running.
#ifndef MOJIFIX_TESTS_E2E_APP_DRIVER_H
#define MOJIFIX_TESTS_E2E_APP_DRIVER_H

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/resource.h"
#include "support/win32_support.h"

namespace mojifix::e2e {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;
using mojifix::testing::HeldFile;
using mojifix::testing::pollUntil;
using mojifix::testing::windowText;

// The program's controls, named for what they do.
constexpr int kAgree = IDC_COMMAND1, kText = IDC_TEXT1, kDisagree = IDC_COMMAND2,
              kExit = IDC_COMMAND3, kLabel = IDC_LABEL1, kRemove = IDC_COMMAND4;

struct DriverError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class Icon { None, Stop, Question, Exclamation, Information, Unknown };

// A message box of the program, as shown on the screen. Text is UTF-8 here, as in the tests.
struct Box {
  HWND hwnd = nullptr;
  std::string title;
  std::string prompt;
  bool ok = false;  // the buttons present: 1 (OK), 6 (Yes), 7 (No)
  bool yes = false;
  bool no = false;
  Icon icon = Icon::None;
};

const char* iconName(Icon icon);

class App {
 public:
  // Starts the program (or `program`, a copy of it) with WINDIR set to `windir`, or removed when
  // it is nullopt, and waits for its main window unless `withWindow` is false.
  explicit App(const std::optional<std::string>& windir, bool withWindow = true,
               const std::wstring& program = {});
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  HWND window() const { return window_; }
  HWND control(int id) const;
  // The control that has the keyboard focus in the program's window thread.
  HWND focus() const;

  // Posts a click to the button with this control id.
  void click(int id) const;
  void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Presses Tab (with Shift held when `shift`), waits for the focus to move and returns the
  // control that has it then.
  HWND pressTab(bool shift, Duration timeout = 3s) const;
  // Posts a key-down and key-up of `key` to the focused control; waits for nothing.
  void press(WORD key) const;
  // Waits for the focus to reach the control with this id; returns the id of the control that has
  // the focus then (0 when none does).
  int waitForFocus(int id, Duration timeout = 3s) const;

  // The program's message box, when it shows one right now (or, unless `visibleOnly`, has one
  // that is still being made).
  std::optional<Box> currentBox(bool visibleOnly = true) const;
  // Waits for a message box, then reads it (waiting for it to paint so its icon can be read).
  Box waitForBox(Duration timeout = 5s) const;
  // Presses the box's button; Yes is refused for any box that mentions restarting, except under
  // the model of Windows 95, whose ExitWindowsEx ends nothing. `behind` posts more input with the
  // program stopped, so that it queues up right behind the answer: the box takes no message after
  // its answer, so the program takes them at its next message loop.
  void answer(const Box& box, int buttonId, const std::function<void()>& behind = {}) const;

  // Asks the program, as Windows does at a logoff, whether the session may end; true when it
  // agrees.
  bool queryEndSession() const;

  // Waits for the program to end; fails when a message box shows up instead.
  void waitForExit(Duration timeout = 5s) const;
  // Waits until the program's thread takes messages again, which it does only in its message
  // loop, in a message box or while the swap processes events.
  void sync() const;
  bool running() const;
  // The process's exit code, STILL_ACTIVE while it runs.
  DWORD exitCode() const;

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// MOJIFIX.exe of this build as the tests start it (in the build for Windows 95/98/Me, its copy
// for the model of Windows 95), or another path the build gave, as a Windows path.
std::wstring programPath(const char* built = MOJIFIX_EXE);
std::string className(HWND hwnd);
// A window's rectangle in its parent's client coordinates.
RECT clientRect(HWND child, HWND parent);

}  // namespace mojifix::e2e

#endif

// Drives MOJIFIX.exe through the Win32 calls that work across processes (window enumeration,
// WM_GETTEXT, posted messages), so the program runs exactly as a user starts it.
#include "e2e/app_driver.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <vector>

#include "platform/win32/edge.h"

namespace mojifix::e2e {
namespace {

constexpr wchar_t kMainClass[] = L"MojifixForm1";
constexpr wchar_t kBoxClass[] = L"#32770";
constexpr int kPromptId = 0xFFFF;
// "Restart": a box that mentions it is never answered Yes (see App::answer).
constexpr char kRestartWord[] = "再起動";

bool startsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::towupper(text[i]) != std::towupper(prefix[i])) return false;
  }
  return true;
}

// This process's environment with WINDIR replaced, in the form CreateProcessW takes.
std::wstring environmentWith(const std::optional<std::string>& windir) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
    if (!startsWithNoCase(entry, L"WINDIR=")) block.append(entry).push_back(L'\0');
  }
  FreeEnvironmentStringsW(strings);
  if (windir) block.append(L"WINDIR=" + toUtf16(*windir)).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

struct WindowSearch {
  DWORD processId;
  std::string windowClass;
  bool visibleOnly;
  std::vector<HWND> found;
};

// A named CALLBACK rather than a lambda: 32-bit Windows calls it with the stdcall convention.
BOOL CALLBACK collectWindow(HWND hwnd, LPARAM param) {
  auto& s = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == s.processId && (!s.visibleOnly || IsWindowVisible(hwnd)) &&
      className(hwnd) == s.windowClass) {
    s.found.push_back(hwnd);
  }
  return TRUE;
}

// The top-level windows of one process with the given class.
std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* windowClass, bool visibleOnly) {
  WindowSearch search{processId, toUtf8(windowClass), visibleOnly, {}};
  EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Box readBox(HWND hwnd) {
  Box box;
  box.hwnd = hwnd;
  box.title = windowText(hwnd);
  if (HWND prompt = GetDlgItem(hwnd, kPromptId)) box.prompt = windowText(prompt);
  const auto present = [hwnd](int id) {
    HWND button = GetDlgItem(hwnd, id);
    return button != nullptr && IsWindowVisible(button) != FALSE;
  };
  box.ok = present(IDOK);
  box.yes = present(IDYES);
  box.no = present(IDNO);
  return box;
}

// Top-down 32-bit pixels of a bitmap of `width` × `height`.
std::vector<std::uint32_t> pixels(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> data(static_cast<std::size_t>(width) * height);
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), data.data(), &info, DIB_RGB_COLORS);
  for (auto& pixel : data) pixel &= 0xFFFFFF;
  return data;
}

bool similar(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int difference =
        static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (difference > 8 || difference < -8) return false;
  }
  return true;
}

// Icon handles belong to their process under Wine, so the box's icon is told apart by its
// pixels: the screen area of its SS_ICON static against each system icon drawn the same way on
// the same background.
Icon readIcon(HWND box) {
  HWND iconStatic = nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    if (className(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(child)) {
      iconStatic = child;
    }
  }
  if (!iconStatic) return Icon::None;
  RECT area;
  GetWindowRect(iconStatic, &area);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return Icon::None;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width + 1, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  // One column left of the static shows the box's own background.
  BitBlt(memory, 0, 0, width + 1, height, screen, area.left - 1, area.top, SRCCOPY);
  SelectObject(memory, old);
  const auto shot = pixels(memory, bitmap, width + 1, height);
  const std::uint32_t background = shot[0];
  std::vector<std::uint32_t> shown;
  for (int y = 0; y < height; ++y) {
    const auto row = shot.begin() + static_cast<std::ptrdiff_t>(y) * (width + 1) + 1;
    shown.insert(shown.end(), row, row + width);
  }

  const struct {
    Icon icon;
    const wchar_t* resource;
  } candidates[] = {{Icon::Stop, IDI_HAND},
                    {Icon::Question, IDI_QUESTION},
                    {Icon::Exclamation, IDI_EXCLAMATION},
                    {Icon::Information, IDI_ASTERISK}};
  Icon best = Icon::Unknown;
  std::size_t fewest = shown.size() / 50 + 1;  // a match differs in under 2 % of its pixels
  for (const auto& candidate : candidates) {
    HBITMAP drawn = CreateCompatibleBitmap(screen, width, height);
    old = SelectObject(memory, drawn);
    const COLORREF rgb =
        RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);
    HBRUSH brush = CreateSolidBrush(rgb);
    const RECT all{0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, LoadIconW(nullptr, candidate.resource), width, height, 0, nullptr,
               DI_NORMAL);
    SelectObject(memory, old);
    const auto expected = pixels(memory, drawn, width, height);
    DeleteObject(drawn);
    std::size_t differences = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) differences += !similar(shown[i], expected[i]);
    if (differences < fewest) {
      fewest = differences;
      best = candidate.icon;
    }
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return best;
}

}  // namespace

const char* iconName(Icon icon) {
  switch (icon) {
    case Icon::None:
      return "none";
    case Icon::Stop:
      return "stop";
    case Icon::Question:
      return "question";
    case Icon::Exclamation:
      return "exclamation";
    case Icon::Information:
      return "information";
    case Icon::Unknown:
      break;
  }
  return "unknown";
}

std::string className(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return toUtf8(name);
}

RECT clientRect(HWND child, HWND parent) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// CMake hands over the build's paths; a path of the Linux build machine is reachable under Wine
// through drive Z:.
std::wstring programPath(const char* built) {
  std::wstring path = toUtf16(built);
  if (!path.empty() && path.front() == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

App::App(const std::optional<std::string>& windir, bool withWindow, const std::wstring& program) {
  const std::wstring path = program.empty() ? programPath() : program;
  std::wstring commandLine = L"\"" + path + L"\"";
  std::wstring environment = environmentWith(windir);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  // Wine at times loses a new process while it starts, about once in a thousand starts, and says
  // ERROR_INTERNAL_ERROR; a program that really cannot start fails every time.
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                       CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup,
                       &process_)) {
      break;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
      throw DriverError("cannot start " + toUtf8(path) + ": error " + std::to_string(error));
    }
  }
  if (!withWindow) return;
  const bool shown = pollUntil(10s, [this] {
    const auto windows = topLevelWindows(process_.dwProcessId, kMainClass, true);
    if (!windows.empty()) window_ = windows.front();
    return window_ != nullptr || !running();
  });
  if (!shown || window_ == nullptr) {
    const bool ended = !running();
    TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    throw DriverError(ended ? "the program ended without showing its window"
                            : "no visible MojifixForm1 window within 10 s");
  }
}

App::~App() {
  if (running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 2000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool App::running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

DWORD App::exitCode() const {
  DWORD code = 0;
  return GetExitCodeProcess(process_.hProcess, &code) ? code : STILL_ACTIVE;
}

HWND App::control(int id) const {
  HWND hwnd = GetDlgItem(window_, id);
  if (!hwnd) throw DriverError("no control with id " + std::to_string(id));
  return hwnd;
}

HWND App::focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void App::click(int id) const { PostMessageW(control(id), BM_CLICK, 0, 0); }

void App::post(UINT message, WPARAM wParam, LPARAM lParam) const {
  PostMessageW(window_, message, wParam, lParam);
}

HWND App::pressTab(bool shift, Duration timeout) const {
  HWND from = focus();
  if (!from) throw DriverError("no control has the focus");
  // Posted keys do not change the key state that the dialog manager reads for Shift, so Shift is
  // set in the key state this thread shares with the program's thread while the keys go in.
  const DWORD self = GetCurrentThreadId();
  const DWORD target = GetWindowThreadProcessId(window_, nullptr);
  const bool attached = shift && AttachThreadInput(self, target, TRUE);
  if (shift && !attached) throw DriverError("cannot share the program's input state for Shift");
  BYTE keys[256] = {};
  const auto setShift = [&](bool down) {
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  };
  if (shift) setShift(true);
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_TAB, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(from, WM_KEYDOWN, VK_TAB, scan | 1);
  PostMessageW(from, WM_KEYUP, VK_TAB, scan | 1 | (LPARAM{3} << 30));
  const bool moved = pollUntil(timeout, [&] { return focus() != from; });
  if (shift) {
    setShift(false);
    AttachThreadInput(self, target, FALSE);
  }
  if (!moved) throw DriverError("the focus did not move on Tab");
  return focus();
}

void App::press(WORD key) const {
  HWND to = focus();
  if (!to) throw DriverError("no control has the focus");
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(to, WM_KEYDOWN, key, scan | 1);
  PostMessageW(to, WM_KEYUP, key, scan | 1 | (LPARAM{3} << 30));
}

int App::waitForFocus(int id, Duration timeout) const {
  pollUntil(timeout, [&] { return GetDlgCtrlID(focus()) == id; });
  return GetDlgCtrlID(focus());
}

std::optional<Box> App::currentBox(bool visibleOnly) const {
  const auto boxes = topLevelWindows(process_.dwProcessId, kBoxClass, visibleOnly);
  if (boxes.empty()) return std::nullopt;
  return readBox(boxes.front());
}

Box App::waitForBox(Duration timeout) const {
  std::optional<Box> box;
  if (!pollUntil(timeout, [&] { return (box = currentBox()) || !running(); }) || !box) {
    throw DriverError(running() ? "no message box appeared" : "the program ended, no message box");
  }
  // The box is visible before it has painted; its icon is read from the screen once it shows
  // one of the four (every box of the program has one).
  Box painted = readBox(box->hwnd);
  pollUntil(timeout, [&] {
    painted.icon = readIcon(box->hwnd);
    return painted.icon != Icon::Unknown && painted.icon != Icon::None;
  });
  return painted;
}

void App::answer(const Box& box, int buttonId, const std::function<void()>& behind) const {
  // Answering Yes would call the real ExitWindowsEx, which ends every program of the prefix; the
  // model of Windows 95 has its own, which ends nothing.
#ifndef MOJIFIX_WIN95_MODEL
  if (box.prompt.find(kRestartWord) != std::string::npos && buttonId != IDNO) {
    throw DriverError("refusing to answer the restart question with anything but No");
  }
#endif
  HWND button = GetDlgItem(box.hwnd, buttonId);
  if (!button) throw DriverError("the box has no button " + std::to_string(buttonId));
  // Stopped, the program cannot take the answer before what goes behind it is queued too.
  if (behind && SuspendThread(process_.hThread) == static_cast<DWORD>(-1)) {
    throw DriverError("cannot stop the program's thread");
  }
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  if (behind) {
    behind();
    ResumeThread(process_.hThread);
  }
  // Gone, not just hidden: any box of the program found from now on is a new one.
  if (!pollUntil(5s, [&] { return !IsWindow(box.hwnd); })) {
    throw DriverError("the box stayed open after its answer");
  }
}

void App::waitForExit(Duration timeout) const {
  std::optional<Box> box;
  if (!pollUntil(timeout, [&] { return !running() || (box = currentBox()); })) {
    throw DriverError("the program did not end");
  }
  if (box) throw DriverError("a message box appeared instead of the end: " + box->prompt);
}

void App::sync() const {
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) &&
      IsWindow(window_)) {
    throw DriverError("the program took no message within 10 s");
  }
}

}  // namespace mojifix::e2e

namespace mojifix::e2e {

bool App::queryEndSession() const {
  DWORD_PTR agreed = 0;
  if (!SendMessageTimeoutW(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000,
                           &agreed)) {
    throw DriverError("the program did not answer WM_QUERYENDSESSION within 10 s");
  }
  return agreed != 0;
}

}  // namespace mojifix::e2e

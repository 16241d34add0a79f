// Form1, the main window: the instructions, the versioned title and the four buttons.
// The window was designed in twips; one layout function scales those figures to the DPI of the
// monitor the window is on, and runs again when the window moves to another one. Texts are UTF-8
// here and converted only at the text edge (platform/win32/edge.h).
#include "app/form1.h"

#include <string>

#include "app/resource.h"
#include "fontsubst/operations.h"
#include "platform/win32/build_platform.h"
#include "platform/win32/dialog_keys.h"
#include "platform/win32/edge.h"

namespace mojifix {
namespace {

// A name, not a text: the generic names take it as it is in either build.
constexpr TCHAR kClassName[] = TEXT("MojifixForm1");
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW;

constexpr int kTwipsPerInch = 1440;
// Windows 7's figures, spelt out for the headers of the build for Windows 95/98/Me.
constexpr int kDefaultDpi = 96;
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED
constexpr int kClientWidthTwips = 6885;
constexpr int kClientHeightTwips = 2460;

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlDesign {
  int id;
  const char* windowClass;
  const char* caption;
  DWORD style;
  DWORD exStyle;
  TwipsRect bounds;
};

constexpr DWORD kPushButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// In creation order, which is also the tab order.
constexpr ControlDesign kControls[] = {
    {IDC_COMMAND1, "BUTTON", "同意する", kPushButton | WS_GROUP, 0, {60, 1740, 1575, 675}},
    {IDC_TEXT1,
     "EDIT",
     "",
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE,
     {0, 0, 6855, 1695}},
    {IDC_COMMAND2, "BUTTON", "同意しない", kPushButton, 0, {1680, 1740, 1575, 675}},
    {IDC_COMMAND3, "BUTTON", "終了", kPushButton, 0, {3300, 1740, 1575, 675}},
    // Centred vertically: the control is shorter than a line of the system font.
    {IDC_LABEL1,
     "STATIC",
     "MOJIFIX",
     WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE,
     0,
     {5340, 2160, 855, 195}},
    {IDC_COMMAND4, "BUTTON", "解除", kPushButton, 0, {6060, 1740, 795, 375}},
};

struct InstructionLine {
  const char* text;
  int lineBreaks;
};

constexpr InstructionLine kInstructions[] = {
    {"●使用方法", 1},
    {"同意するボタンを押すだけ(^_^)", 1},
    {"正常に処理が終了するとパソコンをリセットするか聞いてきますので指示にしたがってください", 1},
    {"これで、とりあえず履歴とコンタクトリストで日本語が表示できます。", 2},
    {"●動作原理", 1},
    {"ICQ道場で説明しているwin.iniファイルにフォントを追加する方法を", 1},
    {"単にプログラムで自動化しただけのものです。", 1},
    {"パソコンに詳しい人にはこのプログラムは無用の長物です。ハイ", 1},
    {"パソコンに明るくないまたは単なる面度臭がりやさんを対象に", 1},
    {"本プログラムは作成しています。", 2},
    {"●免責のお願い", 1},
    {"問題が起こらないことを前提に作成しておりますが、", 1},
    {"万が一何らかの原因で問題が発生した場合責任は取れ", 1},
    {"ませんのであしからず", 0},
};

constexpr char kTitle[] =
    "とりあえずＩＣＱ９９ａの履歴とコンタクトリストで日本語が使える様にするプログラム";

// What the window keeps between messages, attached to it at WM_NCCREATE.
struct FormState {
  Win32Platform platform;
  HFONT font = nullptr;
  // The control that gets the focus back when the window is activated again.
  HWND focus = nullptr;
  // An operation is running; it lets events through at two points, where a click must not start
  // a second operation and a close must wait.
  bool busy = false;
  bool closeRequested = false;
  // The session must not end: the files are changing, and win.ini could still go missing.
  bool endingRefused = false;
  // WM_CREATE succeeded; a window that failed to be made must not end the message loop that
  // the start-up failure box still needs.
  bool created = false;
};

// Functions that newer versions of Windows have, looked up at run time so the program still
// starts on the older ones.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using ShutdownBlockReasonCreateFunction = BOOL(WINAPI*)(HWND, LPCWSTR);
using ShutdownBlockReasonDestroyFunction = BOOL(WINAPI*)(HWND);

template <typename Function>
Function user32Function(const char* name) {
  return edge::systemFunction<Function>("user32.dll", name);
}

UINT systemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

UINT windowDpi(HWND window) {
  const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  return getDpiForWindow ? getDpiForWindow(window) : systemDpi();
}

int toPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch); }

using edge::setWindowText;
using edge::windowText;

void applyFont(HWND form, FormState& state, UINT dpi) {
  // Without one, the controls keep their own.
  HFONT font = edge::createMessageFont(dpi, systemDpi());
  for (const ControlDesign& item : kControls) {
    SendMessage(GetDlgItem(form, item.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (state.font) DeleteObject(state.font);
  state.font = font;
}

// Sizes the window for the designed client area and places every control, at `dpi`; moves the
// window to `position` as well when one is given.
void layout(HWND form, UINT dpi, const POINT* position) {
  RECT frame = {0, 0, toPixels(kClientWidthTwips, dpi), toPixels(kClientHeightTwips, dpi)};
  const auto adjustForDpi =
      user32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
  if (adjustForDpi) {
    adjustForDpi(&frame, kFormStyle, FALSE, kFormExStyle, dpi);
  } else {
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  }
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!position) flags |= SWP_NOMOVE;
  SetWindowPos(form, nullptr, position ? position->x : 0, position ? position->y : 0,
               frame.right - frame.left, frame.bottom - frame.top, flags);

  for (const ControlDesign& item : kControls) {
    const TwipsRect& bounds = item.bounds;
    MoveWindow(GetDlgItem(form, item.id), toPixels(bounds.left, dpi), toPixels(bounds.top, dpi),
               toPixels(bounds.width, dpi), toPixels(bounds.height, dpi), TRUE);
  }
}

bool createControls(HWND form, HINSTANCE instance) {
  for (const ControlDesign& item : kControls) {
    HWND control = edge::createWindow(
        item.exStyle, item.windowClass, item.caption, item.style, 0, 0, 0, 0, form,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (!control) return false;
  }
  return true;
}

void Form_Load(HWND form, FormState& state) {
  HWND text1 = GetDlgItem(form, IDC_TEXT1);
  setWindowText(text1, "");
  for (const InstructionLine& line : kInstructions) {
    std::string text = windowText(text1);
    text += line.text;
    for (int i = 0; i < line.lineBreaks; ++i) text += "\r\n";
    setWindowText(text1, text);
  }

  setWindowText(form, kTitle);
  // The minor version and the revision run together: 0.09.0001 reads "Ver.0.91".
  const AppVersion version = state.platform.applicationVersion();
  setWindowText(form, windowText(form) + "Ver." + std::to_string(version.major) + "." +
                          std::to_string(version.minor) + std::to_string(version.revision));
}

void unload(HWND form) { DestroyWindow(form); }

void noteFocus(HWND form, FormState& state) {
  HWND focus = GetFocus();
  if (focus && IsChild(form, focus)) state.focus = focus;
}

// Shown by Windows Vista and later to a user who logs off or shuts down during an operation.
constexpr char kShutdownBlockReason[] = "win.iniファイルを書き換えています。";

// Refuses the session's end while the files change (between the renames there is no win.ini);
// lets it end before the restart question, which on Windows 95/98/Me asks this window too.
void refuseEnding(HWND form, bool refused) {
  auto* state = reinterpret_cast<FormState*>(GetWindowLongPtr(form, GWLP_USERDATA));
  if (!state || state->endingRefused == refused) return;
  state->endingRefused = refused;
  if (refused) {
    const auto blockCreate =
        user32Function<ShutdownBlockReasonCreateFunction>("ShutdownBlockReasonCreate");
    if (blockCreate) blockCreate(form, toUtf16(kShutdownBlockReason).c_str());
    return;
  }
  const auto blockDestroy =
      user32Function<ShutdownBlockReasonDestroyFunction>("ShutdownBlockReasonDestroy");
  if (blockDestroy) blockDestroy(form);
}

// Runs an operation as one click. Its event processing may deliver a close meanwhile, which is
// carried out only now that the operation is over; a failure may also have left the refusal on.
void runOperation(HWND form, FormState& state, void (*operation)(Platform&)) {
  // A box may disable the window, and so take the focus, before WM_ACTIVATE could note it.
  noteFocus(form, state);
  state.busy = true;
  operation(state.platform);
  refuseEnding(form, false);
  state.busy = false;
  if (state.closeRequested) unload(form);
}

void Command1_Click(HWND form, FormState& state) { runOperation(form, state, applySubstitution); }

void Command2_Click(HWND form) { unload(form); }

void Command3_Click(HWND form) { unload(form); }

void Command4_Click(HWND form, FormState& state) { runOperation(form, state, removeSubstitution); }

bool onCreate(HWND form, FormState& state, const CREATESTRUCT& create) {
  if (!createControls(form, create.hInstance)) return false;
  const UINT dpi = windowDpi(form);
  applyFont(form, state, dpi);
  layout(form, dpi, nullptr);
  state.focus = GetDlgItem(form, IDC_COMMAND1);
  Form_Load(form, state);
  state.created = true;
  return true;
}

void onCommand(HWND form, FormState& state, int id, int notification) {
  if (notification != BN_CLICKED) return;
  // A click that arrives while an operation lets events through would otherwise start a second
  // operation inside the first: Agree and Remove are dropped, and an ending waits for the end.
  if (state.busy) {
    state.closeRequested = state.closeRequested || id == IDC_COMMAND2 || id == IDC_COMMAND3;
    return;
  }
  switch (id) {
    case IDC_COMMAND1:
      Command1_Click(form, state);
      break;
    case IDC_COMMAND2:
      Command2_Click(form);
      break;
    case IDC_COMMAND3:
      Command3_Click(form);
      break;
    case IDC_COMMAND4:
      Command4_Click(form, state);
      break;
  }
}

void onClose(HWND form, FormState& state) {
  if (state.busy) {
    state.closeRequested = true;
    return;
  }
  unload(form);
}

// A read-only edit is drawn like a label; the instruction text keeps the look of a text box.
LRESULT onControlColorStatic(HDC dc, HWND control, HWND form) {
  if (control != GetDlgItem(form, IDC_TEXT1)) {
    return DefWindowProc(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(control));
  }
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

// The focus goes back to the control that had it when the window was last deactivated or an
// operation began, so a message box or a switch to another program does not lose it.
void onActivate(HWND form, FormState& state, bool active) {
  if (!active) noteFocus(form, state);
}

void onSetFocus(FormState& state) {
  if (state.focus && IsWindow(state.focus)) SetFocus(state.focus);
}

void onDpiChanged(HWND form, FormState& state, UINT dpi, const RECT& suggested) {
  applyFont(form, state, dpi);
  const POINT position = {suggested.left, suggested.top};
  layout(form, dpi, &position);
}

void onNcDestroy(HWND form, FormState& state) {
  state.platform.setOwner(nullptr);
  if (state.font) DeleteObject(state.font);
  state.font = nullptr;
  SetWindowLongPtr(form, GWLP_USERDATA, 0);
}

LRESULT CALLBACK formProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam);
    auto* state = static_cast<FormState*>(create->lpCreateParams);
    state->platform.setOwner(form);
    state->platform.refuseEnding = refuseEnding;
    SetWindowLongPtr(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  }
  auto* state = reinterpret_cast<FormState*>(GetWindowLongPtr(form, GWLP_USERDATA));
  if (!state) return DefWindowProc(form, message, wParam, lParam);

  switch (message) {
    case WM_CREATE:
      return onCreate(form, *state, *reinterpret_cast<const CREATESTRUCT*>(lParam)) ? 0 : -1;
    case WM_COMMAND:
      onCommand(form, *state, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return onControlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                  form);
    case WM_ACTIVATE:
      onActivate(form, *state, LOWORD(wParam) != WA_INACTIVE);
      break;
    case WM_SETFOCUS:
      onSetFocus(*state);
      return 0;
    case kDpiChanged:
      onDpiChanged(form, *state, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      onClose(form, *state);
      return 0;
    case WM_QUERYENDSESSION:
      return state->endingRefused ? FALSE : TRUE;
    case WM_DESTROY:
      if (state->created) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      onNcDestroy(form, *state);
      break;
  }
  return DefWindowProc(form, message, wParam, lParam);
}

HWND createForm1(HINSTANCE instance, FormState& state) {
  WNDCLASSEX windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = formProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIcon(instance, MAKEINTRESOURCE(IDI_MOJIFIX));
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassEx(&windowClass)) return nullptr;
  // The size is set in WM_CREATE, once the window's DPI is known.
  return CreateWindowEx(kFormExStyle, kClassName, TEXT(""), kFormStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                        &state);
}

}  // namespace

int runForm1(int showCommand) {
  FormState state;
  HWND form = createForm1(edge::moduleHandle(nullptr), state);
  if (!form) {
    state.platform.showMessage(messages::startFailed());
    return 1;
  }
  ShowWindow(form, showCommand);
  UpdateWindow(form);

  MSG message{};
  BOOL got;
  while ((got = GetMessage(&message, nullptr, 0, 0)) > 0) {
    if (handleDialogKey(form, message)) continue;
    TranslateMessage(&message);
    DispatchMessage(&message);
  }
  // The state goes with this function, so the window must not outlive it.
  if (IsWindow(form)) DestroyWindow(form);
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace mojifix

// Tab, Enter and Escape for a window of controls, without the dialog manager.
#include "platform/win32/dialog_keys.h"

namespace mojifix {
namespace {

bool isKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
}

bool isRepeat(const MSG& message) { return (message.lParam & (LPARAM{1} << 30)) != 0; }

// Tab and Shift+Tab, in the order of the controls with WS_TABSTOP, wrapping at either end. An
// edit control is entered with its caret at the start and nothing selected.
void moveFocus(HWND window, HWND from) {
  const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  HWND next = GetNextDlgTabItem(window, from == window ? nullptr : from, backwards);
  if (!next) return;
  // The keyboard is in use: focus rectangles must show from now on, as the dialog manager would
  // ask for.
  SendMessage(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetFocus(next);
  if (SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessage(next, EM_SETSEL, 0, 0);
  }
}

// The focused push button is clicked; Enter anywhere else does nothing.
void pressFocused(HWND window, HWND focus) {
  if (focus == window || !IsWindowEnabled(focus)) return;
  const LRESULT code = SendMessage(focus, WM_GETDLGCODE, 0, 0);
  if (!(code & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON))) return;
  SendMessage(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
              reinterpret_cast<LPARAM>(focus));
}

}  // namespace

bool handleDialogKey(HWND window, const MSG& message) {
  if (!isKeyMessage(message.message)) return false;
  if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
  const WPARAM key = message.wParam;
  // WM_CHAR carries the character, WM_KEYDOWN and WM_KEYUP the virtual key; for these three keys
  // they are the same numbers.
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  if (message.message != WM_KEYDOWN) return true;
  if (key == VK_TAB) moveFocus(window, message.hwnd);
  // A held Enter repeats its key-down; it must not click again once the box it opened has closed.
  if (key == VK_RETURN && !isRepeat(message)) pressFocused(window, message.hwnd);
  return true;
}

}  // namespace mojifix

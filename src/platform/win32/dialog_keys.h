// The keyboard interface of an ordinary window of controls, without the dialog manager.
#ifndef MOJIFIX_PLATFORM_WIN32_DIALOG_KEYS_H
#define MOJIFIX_PLATFORM_WIN32_DIALOG_KEYS_H

#include <windows.h>

namespace mojifix {

// Handles `message` when it is Tab (to move the focus), Enter (to press the focused push button) or
// Escape (to do nothing) for `window` or one of its controls, and returns true: the caller must
// then neither translate nor dispatch it; false for any other message. A push button clicks itself
// on Space. IsDialogMessageW does not serve: on a window that is not a dialog it moves the default
// push button only on the keys it handles itself, so Enter would depend on how the focus arrived,
// and a button it once made the default would keep that look after the mouse moved the focus.
bool handleDialogKey(HWND window, const MSG& message);

}  // namespace mojifix

#endif

// The keyboard interface of an ordinary window of controls: Tab moves the focus, Enter and Space
// press the focused push button, Escape does nothing.
//
// IsDialogMessageW does not serve here. On a window that is not a dialog it moves the default
// push button only on the keys it handles itself, so Enter then depends on how the focus arrived,
// and a button it once made the default keeps that look after the mouse moves the focus. This
// handles the few keys the window needs and never makes any button the default.
#ifndef MOJIFIX_PLATFORM_WIN32_DIALOG_KEYS_H
#define MOJIFIX_PLATFORM_WIN32_DIALOG_KEYS_H

#include <windows.h>

namespace mojifix {

// Handles `message` when it is Tab, Enter or Escape for `window` or one of its controls, and
// returns true: the caller must then neither translate nor dispatch it. Returns false for every
// other message. Space needs nothing here: a push button clicks itself on it.
bool handleDialogKey(HWND window, const MSG& message);

}  // namespace mojifix

#endif

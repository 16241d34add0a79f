// Form1, the program's only window, which both entry points start, and the start-up's messages.
#ifndef MOJIFIX_APP_FORM1_H
#define MOJIFIX_APP_FORM1_H

#include "fontsubst/messages.h"

namespace mojifix {

// The start that both entry points share: creates Form1, fills it (Form_Load), shows it with
// `showCommand` and handles its messages until it is closed. Returns the process exit code: 0
// after a normal close, nonzero when the window could not be created.
int runForm1(int showCommand);

namespace messages {
// Start-up: the window could not be made.
inline Message startFailed() {
  return {"MOJIFIXを起動できませんでした。", MessageStyle::Stop, TitleKind::Text, kErrorTitle};
}
// Start-up of the build for Windows 95/98/Me on Windows NT.
inline Message windows9xOnly() {
  return {
      "このプログラムはWindows 95/98/Me用です。Windows 7以降では、win32またはwin64のパッケージを"
      "お使いください。",
      MessageStyle::Stop, TitleKind::Text, kErrorTitle};
}
}  // namespace messages

}  // namespace mojifix

#endif

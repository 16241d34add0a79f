// Form1, the program's only window, and the message loop that runs while it is open.
#ifndef MOJIFIX_APP_FORM1_H
#define MOJIFIX_APP_FORM1_H

#include <windows.h>

namespace mojifix {

// Creates Form1 with its controls, fills it (Form_Load), shows it with `showCommand` and handles
// its messages until it is closed. Returns the process exit code: 0 after a normal close,
// nonzero when the window could not be created.
int runForm1(HINSTANCE instance, int showCommand);

}  // namespace mojifix

#endif

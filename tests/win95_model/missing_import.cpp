// Imports IsDebuggerPresent, which came with Windows 98: Windows 95 would not start this program.
#include <windows.h>

int main() { return IsDebuggerPresent() ? 1 : 0; }

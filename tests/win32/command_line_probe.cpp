// The start-up of the build for Windows 95/98/Me alone, under a WinMain that ends 0 when it gets
// the command line that Win9xText passes after the program's name, and 2 when it gets none.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR tail, int) {
  if (!tail) return 2;
  return lstrcmpA(tail, "one \"t w o\"") == 0 ? 0 : 1;
}

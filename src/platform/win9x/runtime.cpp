// What the build for Windows 95/98/Me needs of a C and C++ runtime, with the program's own flags.
// The toolchain's prebuilt runtime uses instructions that the 486 and the Pentium lack, and DLLs
// (msvcrt.dll, the CryptoAPI) that Windows 95 lacks. The program throws no exceptions and has no
// static objects to construct (the build stops at one). Built without the stack protector, whose
// guard the start-up sets.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

// The string classes' members, compiled here rather than taken prebuilt from libstdc++.
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;

namespace {

// As abort() ends a program, without running anything of the program's own.
[[noreturn]] void fail() { ExitProcess(3); }

}  // namespace

void* operator new(std::size_t size) {
  void* block = HeapAlloc(GetProcessHeap(), 0, size > 0 ? size : 1);
  if (!block) fail();
  return block;
}

void operator delete(void* block) noexcept {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

// What the string classes call when they cannot go on.
namespace std {
void __throw_bad_alloc() { fail(); }
void __throw_bad_array_new_length() { fail(); }
void __throw_length_error(const char*) { fail(); }
void __throw_logic_error(const char*) { fail(); }
void __throw_out_of_range_fmt(const char*, ...) { fail(); }
}  // namespace std

extern "C" {

std::uintptr_t __stack_chk_guard = 0;

void __stack_chk_fail() { fail(); }

void __cxa_pure_virtual() { fail(); }

// The entry point. The stack protector's guard is seeded from what differs between runs and
// machines (Windows 95 has no source of random numbers), before any protected function runs.
void WinMainCRTStartup() {
  FILETIME time{};
  GetSystemTimeAsFileTime(&time);
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  std::uintptr_t seed = reinterpret_cast<std::uintptr_t>(&time);
  for (const DWORD part : {GetTickCount(), GetCurrentProcessId(), GetCurrentThreadId(),
                           time.dwLowDateTime, time.dwHighDateTime, counter.LowPart}) {
    seed = (seed ^ part) * 0x9E3779B1u;
  }
  __stack_chk_guard = seed;

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
  // What follows the program's name, which a quoted name may hold blanks in, and the blanks after
  // it. Unsigned: code page 932's bytes above 0x7F are part of the name.
  auto* tail = reinterpret_cast<unsigned char*>(GetCommandLineA());
  for (bool quoted = false; *tail > ' ' || (*tail && quoted); ++tail) quoted ^= *tail == '"';
  while (*tail && *tail <= ' ') ++tail;
  ExitProcess(static_cast<UINT>(
      WinMain(GetModuleHandleA(nullptr), nullptr, reinterpret_cast<LPSTR>(tail), show)));
}

}  // extern "C"

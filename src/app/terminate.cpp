// The handler the C++ runtime calls when the program must terminate.
//
// The runtime's default one prints the exception's demangled type to a console that a windowed
// program does not have, and pulls the demangler and printf into the executable: about a third of
// its size. Replacing it at link time keeps the download small; the program still ends the same
// way, through abort().
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler();

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

// The program's last resort, for an exception that leaves a function that may not throw. The
// runtime's own handler names the exception's type through the C++ demangler, which alone is a
// twentieth of the program; a window program has no console to print the name on. This one ends
// the program the same way, without the name. It is linked into Setup.exe only: the test
// programs keep the runtime's handler, whose message helps when a test dies.
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::fputs("Setup: terminate called\n", stderr);
    std::abort();
}

}  // namespace __gnu_cxx

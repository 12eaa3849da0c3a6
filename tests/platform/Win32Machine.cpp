#include "system/win32/Win32Platform.h"
#include "tests/platform/Machine.h"

std::unique_ptr<Platform> Win32Machine::Create() {
    return std::make_unique<Win32Platform>();
}

// A machine for the contract suite: a platform plus a fresh scratch folder on it.
#pragma once

#include <memory>
#include <string>

#include "system/Platform.h"

struct MemoryMachine {
    static std::unique_ptr<Platform> Create();
};

struct Win32Machine {
    static std::unique_ptr<Platform> Create();
};

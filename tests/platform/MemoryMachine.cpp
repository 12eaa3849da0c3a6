#include "system/memory/MemoryPlatform.h"
#include "tests/platform/Machine.h"
#include "tools/plugsetup/host/CodePage.h"

std::unique_ptr<Platform> MemoryMachine::Create() {
    auto machine = std::make_unique<MemoryPlatform>();
    // What the contract calls in the real kernel32.
    machine->AddFile("C:\\Windows\\System32\\kernel32.dll", "MZ");
    machine->AddLibrary("C:\\Windows\\System32\\kernel32.dll", {{"GetTickCount", [] {}}});
    machine->SetCodePageConverter(TextInCodePageAsUtf8);
    return machine;
}

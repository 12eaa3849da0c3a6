#include "engine/ComponentMachines.h"

#include "engine/IniFile.h"
#include "engine/Variables.h"
#include "system/CommonUtils.h"

ComponentMachine MachineOf(const SetupValues& values, const std::string& source) {
    for (const std::string& line : values.Config.ComponentsOptions) {
        SplitResult split = SplitAt(line, '=');
        if (!split.found || split.left != source) continue;
        if (split.right == kX64MachineOption) return ComponentMachine::X64;
        if (split.right == kArm64MachineOption) return ComponentMachine::Arm64;
    }
    return ComponentMachine::Any;
}

bool CarriesArmBuilds(const SetupValues& values) {
    for (const std::string& line : values.Config.Components)
        if (MachineOf(values, ListLineName(line)) == ComponentMachine::Arm64) return true;
    return false;
}

bool ChoosesArmBuilds(const SetupValues& values, const MachineReport& machine) {
    return values.Config.Is64Bit && machine.Native == NativeMachine::Arm64 && CarriesArmBuilds(values);
}

bool FitsMachine(const SetupValues& values, const std::string& source) {
    switch (MachineOf(values, source)) {
        case ComponentMachine::X64:
            return !values.ArmBuilds;
        case ComponentMachine::Arm64:
            return values.ArmBuilds;
        case ComponentMachine::Any:
            break;
    }
    return true;
}

bool NeedsX64Emulation(const SetupValues& values, const MachineReport& machine) {
    return values.Config.Is64Bit && machine.Native == NativeMachine::Arm64 && !machine.RunsX64 &&
           !CarriesArmBuilds(values);
}

std::string MachineName(const MachineReport& machine) {
    switch (machine.Native) {
        case NativeMachine::X86:
            return "x86";
        case NativeMachine::X64:
            return "x64";
        case NativeMachine::Arm64:
            break;
    }
    return machine.RunsX64 ? "Arm64" : "Arm64 without x64 emulation";
}

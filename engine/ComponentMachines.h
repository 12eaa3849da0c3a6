// Which machine a [Components] line is built for. A product may carry a single-file plug-in
// (a CLAP, a VST 2 library) twice, built for x64 and for Arm64 (Arm64EC or Arm64X): the lines are
// marked in [ComponentsOptions] ("CLAP=x64", "CLAP-Arm=Arm64"), and a 64-bit product installs
// the Arm64 lines in place of the x64 ones on an Arm64 Windows. Unmarked lines (VST 3 bundles,
// which hold a folder per architecture, programs, presets) are installed on every machine.
#pragma once

#include <string>

#include "system/Platform.h"

struct SetupValues;

enum class ComponentMachine { Any, X64, Arm64 };

inline constexpr const char* kX64MachineOption = "x64";
inline constexpr const char* kArm64MachineOption = "Arm64";


// The machine a [ComponentsOptions] line "name=x64" or "name=Arm64" (both exactly as written)
// gives the component of that source name; Any when none does.
ComponentMachine MachineOf(const SetupValues& values, const std::string& source);
// Whether any [Components] line is marked Arm64.
bool CarriesArmBuilds(const SetupValues& values);
// Whether the setup installs its Arm64 lines in place of its x64 ones on this machine: a 64-bit
// product with Arm64 lines on an Arm64 Windows.
bool ChoosesArmBuilds(const SetupValues& values, const MachineReport& machine);
// Whether the component of this source name is installed, by values.ArmBuilds.
bool FitsMachine(const SetupValues& values, const std::string& source);
// A 64-bit product that nothing on this machine can load: Arm64 Windows without x64
// emulation, and no Arm64 build in the setup.
bool NeedsX64Emulation(const SetupValues& values, const MachineReport& machine);
// "x64", "Arm64", "Arm64 without x64 emulation", "x86": how preview names the machine.
std::string MachineName(const MachineReport& machine);

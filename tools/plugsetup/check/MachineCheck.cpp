// The [Components] lines marked for a machine: a product that carries Arm64 builds of some
// single-file formats but not of others, or whose pairs of builds do not match up.
#include <map>
#include <set>

#include "engine/ComponentMachines.h"
#include "engine/InstallRun.h"
#include "engine/PluginFormats.h"
#include "tools/plugsetup/check/ProductChecker.h"

namespace {

// The single-file format whose folder variable the destination names; None for everything else
// (a VST 3 bundle holds a folder per architecture and needs no second line).
PluginFormat SingleFileFormatOf(const std::string& destination) {
    for (PluginFormat format : {PluginFormat::Vst2, PluginFormat::Clap})
        if (destination.find(FormatRow(format).FolderVariable) != std::string::npos) return format;
    return PluginFormat::None;
}

}  // namespace

void ProductChecker::CheckMachineBuilds() {
    if (!CarriesArmBuilds(values_)) return;
    struct FormatLines {
        int First = 0, Arm = 0, X64 = 0;
    };
    std::map<PluginFormat, FormatLines> formats;
    for (const IniLine& line : Lines("Components")) {
        if (line.name.empty()) continue;
        const ComponentMachine machine = MachineOf(values_, line.name);
        const PluginFormat format =
            SingleFileFormatOf(ParseComponentLine(line.name + "=" + line.value).DestinationText);
        if (machine == ComponentMachine::Arm64 && !values_.Config.Is64Bit)
            Warning(iniPath_, line.lineNumber,
                    "'" + line.name +
                        "' is marked Arm64, but a 32-bit product installs its x64 lines on every "
                        "machine and never this one: set Is64Bit=1 or drop the line");
        if (format == PluginFormat::None) continue;
        FormatLines& lines = formats[format];
        if (lines.First == 0) lines.First = line.lineNumber;
        if (machine == ComponentMachine::Arm64 && lines.Arm == 0) lines.Arm = line.lineNumber;
        if (machine == ComponentMachine::X64 && lines.X64 == 0) lines.X64 = line.lineNumber;
    }
    std::string withArm;
    for (const auto& [format, lines] : formats)
        if (lines.Arm) withArm += std::string(withArm.empty() ? "" : " and ") + FormatRow(format).Name;
    for (const auto& [format, lines] : formats) {
        const std::string name = FormatRow(format).Name;
        if (!lines.Arm)
            Warning(iniPath_, lines.First,
                    "the product carries an Arm64 build for " + withArm + " but none for " + name +
                        (lines.X64 ? ": its line is marked x64, so Arm64 Windows gets no " + name + " plug-in"
                                   : ": Arm64 hosts get only the x64 " + name + " plug-in") +
                        "; add a " + name + " line marked Arm64 in [ComponentsOptions]");
        else if (!lines.X64)
            Warning(iniPath_, lines.Arm,
                    "no " + name + " line is marked x64, so Arm64 Windows gets both " + name +
                        " builds: mark the x64 build's line x64 in [ComponentsOptions]");
    }
}

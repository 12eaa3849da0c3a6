// Every machine kind against every product kind: the folders, the registry view, the CLAP build
// the run writes, the refusals, and an uninstall record that does not depend on the machine.
#include <gtest/gtest.h>

#include "engine/ComponentMachines.h"
#include "engine/InstallRun.h"
#include "engine/SetupInstaller.h"
#include "tests/unit/engine/EngineMachine.h"
#include "uninstall/UninstallRecord.h"

using namespace enginetest;

namespace {

enum class Product { Bits32, Bits64, Bits64WithArm };

std::string SynthIni(Product product) {
    std::string ini =
        "[Setup]\r\nProductName=Synth\r\nRegistryRoot=Maker\\Synth\r\nDefaultFolder=Maker\\Synth\r\n";
    if (product != Product::Bits32) ini += "Is64Bit=1\r\n";
    ini += "[Components]\r\nProgram=$ProgramFolder\r\nCLAP=$ClapPluginFolder\r\n";
    if (product == Product::Bits64WithArm)
        ini += "CLAP-Arm=$ClapPluginFolder\r\n[ComponentsOptions]\r\nCLAP=x64\r\nCLAP-Arm=Arm64\r\n";
    return ini;
}

struct Machine {
    NativeMachine native;
    bool runsX64;
};

struct Outcome {
    bool installs;
    std::string refusal;  // a part of the message
    std::string clapBuild;
};

Outcome InstallOn(Machine kind, Product product, std::vector<std::string>* log = nullptr) {
    MemoryPlatform machine;
    machine.SetMachine(kind.native, kind.runsX64);
    PlaceProduct(machine, SynthIni(product),
                 {SourceEntry::Directory("Program", {SourceEntry::File("Readme.txt", "r")}),
                  SourceEntry::Directory("CLAP", {SourceEntry::File("Synth.clap", "x64")}),
                  SourceEntry::Directory("CLAP-Arm", {SourceEntry::File("Synth.clap", "arm64ec")})});
    TSetupInstaller setup(machine);
    const bool bits64 = product != Product::Bits32;
    EXPECT_EQ(setup.Values().DestinationFolder,
              bits64 ? "C:\\Program Files\\Maker\\Synth" : "C:\\Program Files (x86)\\Maker\\Synth");
    setup.SetDestinationFolder(setup.Values().DestinationFolder);  // as the destination page leaves it
    if (!setup.CheckCanInstall()) return {false, machine.Dialogs().at(0).text, ""};
    RecordingProgress progress;
    setup.Install(progress);
    const std::string clapFolder = setup.Values().CommonFilesFolder + "\\CLAP\\";
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, "\\Maker\\Synth\\3.0", "VersionString",
                          product != Product::Bits32),
              "3.12")
        << "the product key lies in the view of the product's bitness";
    if (log)
        *log = FormatItems(
            LoadUninstallRecord(machine, setup.Values().DestinationFolder + "Uninst.exe").record.items);
    return {true, "", machine.FileText(clapFolder + "Synth.clap")};
}

TEST(ComponentMachines, EachMachineGetsTheBuildItsHostsLoadAndTheSameRecord) {
    const Machine x86{NativeMachine::X86, false}, x64{NativeMachine::X64, true},
        arm{NativeMachine::Arm64, true}, armOnly{NativeMachine::Arm64, false};
    for (Product product : {Product::Bits32, Product::Bits64, Product::Bits64WithArm}) {
        SCOPED_TRACE(static_cast<int>(product));
        Outcome onX86 = InstallOn(x86, product);
        EXPECT_EQ(onX86.installs, product == Product::Bits32);
        if (!onX86.installs) {
            EXPECT_NE(onX86.refusal.find("64-bit edition of Windows"), std::string::npos);
        }
        EXPECT_EQ(InstallOn(x64, product).clapBuild, "x64");
        EXPECT_EQ(InstallOn(arm, product).clapBuild, product == Product::Bits64WithArm ? "arm64ec" : "x64");
        Outcome onArmOnly = InstallOn(armOnly, product);
        EXPECT_EQ(onArmOnly.installs, product != Product::Bits64) << "nothing could load x64 plug-ins there";
        if (!onArmOnly.installs) {
            EXPECT_NE(onArmOnly.refusal.find("Synth is built for x64 processors only"), std::string::npos);
        } else {
            EXPECT_EQ(onArmOnly.clapBuild, product == Product::Bits32 ? "x64" : "arm64ec")
                << "a 32-bit product never takes an Arm64 line";
        }
    }
    std::vector<std::string> onX64, onArm;
    InstallOn(x64, Product::Bits64WithArm, &onX64);
    InstallOn(arm, Product::Bits64WithArm, &onArm);
    EXPECT_FALSE(onX64.empty());
    EXPECT_EQ(onArm, onX64) << "an update from the other machine's installation finds its own record";
}

TEST(ComponentMachines, MarksAreReadExactlyAsWritten) {
    SetupValues values;
    values.Config.Components = {"CLAP=$ClapPluginFolder", "ARM=$ClapPluginFolder"};
    values.Config.ComponentsOptions = {"CLAP=NoOverwrite", "CLAP=x64", "ARM=arm64", "arm=Arm64"};
    EXPECT_EQ(MachineOf(values, "CLAP"), ComponentMachine::X64) << "beside another option";
    EXPECT_EQ(MachineOf(values, "ARM"), ComponentMachine::Any);
    EXPECT_FALSE(CarriesArmBuilds(values));
    EXPECT_TRUE(IsNoOverwrite(values, "CLAP"));
}

}  // namespace

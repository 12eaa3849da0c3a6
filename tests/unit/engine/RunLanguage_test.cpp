#include <gtest/gtest.h>

#include <algorithm>

#include "engine/SetupInstaller.h"
#include "tests/unit/engine/EngineMachine.h"
#include "texts/Texts.h"
#include "uninstall/SetupUninstaller.h"
#include "uninstall/UninstallKey.h"

using namespace enginetest;

namespace {

constexpr char kIni[] =
    "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\nDefaultFolder=Gadget\r\n%LANGUAGES%"
    "[Components]\r\nProgram=$ProgramFolder\r\n"
    "[Complete]\r\nMessage=Done.\r\nMessage.de=Fertig: $ProductName.\r\n"
    "[Texts]\r\nFinishButton.de=&Schließen\r\nCancelButton=Stop\r\n"
    "UninstalledMessage.de=$ProductName ist entfernt.\r\n";

struct LanguageCase {
    const char* what;
    const char* languages;  // the [Setup] line, or ""
    const char* requested;  // /LANG
    const char* spoken;
};

// A German Windows: the setup speaks German with the vendor's texts and licence, and its
// uninstaller German too; a setup that carries English only, or a switch, decides otherwise.
TEST(RunLanguage, TheSetupAndItsUninstallerSpeakTheCustomersLanguage) {
    const LanguageCase cases[] = {
        {"the UI language", "", "", "de"},
        {"English only", "Languages=en\r\n", "", "en"},
        {"the switch", "Languages=en, fr,de\r\n", "fr", "fr"},
    };
    for (const LanguageCase& c : cases) {
        MemoryPlatform machine;
        machine.SetUserUiLanguage(0x0407);
        std::string ini = kIni;
        ini.replace(ini.find("%LANGUAGES%"), 11, c.languages);
        PlaceProduct(machine, ini,
                     {SourceEntry::File("Setup.de.lic", "Lizenz\r\n"),
                      SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", "MZ")})});
        RequestLanguage(c.requested);
        TSetupInstaller setup(machine);
        RequestLanguage("");
        const bool german = std::string(c.spoken) == "de";
        EXPECT_EQ(setup.Config().Language, c.spoken) << c.what;
        EXPECT_EQ(setup.Config().CompleteMessage, german ? "Fertig: Gadget." : "Done.") << c.what;
        EXPECT_EQ(setup.Config().LicenseText, german ? "Lizenz\r\n" : "Licence\r\n") << c.what;
        EXPECT_EQ(Text(TextId::FinishButton), german ? "&Schließen" : TextIn(*FindLanguage(c.spoken), TextId::FinishButton));
        EXPECT_EQ(Text(TextId::CancelButton), "Stop") << "a line without a language is every language's";

        RecordingProgress progress;
        setup.SetDestinationFolder("C:\\Gadget");
        setup.Install(progress);
        const std::string copying = TextIn(*FindLanguage(c.spoken), TextId::CopyingStatus);
        EXPECT_NE(std::find(progress.calls.begin(), progress.calls.end(), copying), progress.calls.end()) << c.what;
        const std::string key = std::string(kUninstallKeyPath) + "\\Gadget 3.12";
        EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, key, kSetupLanguageValue),
                  std::string(c.spoken) == "en" ? "(none)" : c.spoken)
            << c.what;

        // The vendor's uninstaller text is stored as the German run showed it, and only then.
        EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, key, kSetupTextsValue),
                  german ? "UninstalledMessage=Gadget ist entfernt." : "(none)")
            << c.what;

        SpeakLanguage(EnglishLanguage());
        machine.SetOwnProgramPath("C:\\Gadget\\Uninst.exe");
        RequestLanguage("fr");
        TSetupUninstaller french(machine);
        RequestLanguage("");
        EXPECT_EQ(Text(TextId::UninstalledMessage), TextIn(*FindLanguage("fr"), TextId::UninstalledMessage))
            << "a German text does not stand in a French uninstaller";
        TSetupUninstaller(machine).Run();
        EXPECT_EQ(
            machine.Dialogs().back().text,
            german ? "Gadget ist entfernt." : TextIn(*FindLanguage(c.spoken), TextId::UninstalledMessage))
            << c.what;
        SpeakLanguage(EnglishLanguage());
    }
}

}  // namespace

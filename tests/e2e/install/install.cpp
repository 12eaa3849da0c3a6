// Installs the "Program" folder of a setup program the way the setup does, on the real
// platform, so the uninstaller scenarios have an installation to remove before the wizard can
// make one: extraction, two settings keys, a shortcut, then Uninst.exe copied from that setup
// program and registered. Prints the uninstall log.
//   e2e_install SETUP.EXE DESTINATION PRODUCT
#include <cstdio>
#include <string>

#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/WindowsEx.h"
#include "system/win32/Win32Platform.h"

namespace {

void WriteSettings(Platform& platform, RootKey root, const std::string& key, const std::string& folder) {
    TRegistry registry(platform);
    registry.SetRootKey(root);
    if (!registry.OpenKey(key, true)) throw Exception("cannot create the key " + key);
    registry.WriteString("Folder", folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: e2e_install SETUP.EXE DESTINATION PRODUCT\n");
        return 2;
    }
    try {
        Win32Platform platform;
        const std::string destination = IncludeBackslash(argv[2]);
        const std::string product = argv[3];
        TInstaller installer(platform, argv[1]);
        installer.ExtractDirectory("Program", destination, 0);
        const std::string settings = "\\Software\\PlugsetupE2E\\" + product;
        WriteSettings(platform, RootKey::CurrentUser, settings, destination);
        installer.AddRegistryKey(RootKey::CurrentUser, settings, false);
        WriteSettings(platform, RootKey::LocalMachine, settings, destination);
        installer.AddRegistryKey(RootKey::LocalMachine, settings, false);
        if (!installer.CreateShortcut(destination + product + ".lnk", destination + "Readme.txt", "", 0))
            throw Exception("cannot save the shortcut");
        const std::string name = product + " " + installer.Version().AsString();
        installer.CreateUninstaller(destination + "Uninst.exe", name, name, product);
        for (const std::string& line : installer.Log()) std::printf("%s\n", line.c_str());
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "e2e_install: %s\n", error.what());
        return 1;
    }
}

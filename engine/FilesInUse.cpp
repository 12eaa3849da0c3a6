#include "engine/FilesInUse.h"

#include <unordered_set>

#include "engine/InstallRun.h"
#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/Platform.h"
#include "uninstall/UninstallRecord.h"
#include "texts/Texts.h"

namespace {

std::string Lines(const std::vector<std::string>& lines, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && i < lines.size(); ++i) text += (i ? "\r" : "") + lines[i];
    return text;
}

}  // namespace

std::vector<std::string> FilesInUse(Platform& platform, SetupValues& values, TInstaller& installer,
                                    const std::vector<TSetupBundleItem>& bundleItems) {
    std::vector<std::string> held;
    std::unordered_set<std::string> asked;  // upper-case ASCII: a bundle visits shared files again
    auto ask = [&](const std::string& path) {
        if (!asked.insert(UpperAscii(path)).second || !platform.FileExists(path)) return;
        if (!platform.OpensForWriting(path)) held.push_back(path);
    };
    VisitInstallTargets(values, installer, bundleItems, [&](const std::string& path, bool isFolder) {
        if (!isFolder && installer.Overwrite) ask(path);
    });
    const std::string uninstaller = IncludeBackslash(values.DestinationFolder) + kUninstallerFileName;
    ask(uninstaller);
    ask(UninstallDataFileOf(uninstaller));
    return held;
}

std::string FilesInUseText(const std::vector<std::string>& files, const std::vector<std::string>& programs) {
    std::string text = Text(TextId::FilesInUseMessage, Lines(files, kMaxListedFiles));
    if (files.size() > kMaxListedFiles)
        text += Text(TextId::MoreFilesInUseLine, std::to_string(files.size() - kMaxListedFiles));
    if (!programs.empty())
        text += Text(TextId::ProgramsUsingFilesMessage, Lines(programs, programs.size()));
    return text + Text(TextId::CloseProgramsMessage);
}

bool WaitForFilesInUse(Platform& platform, SetupValues& values, TInstaller& installer,
                       const std::vector<TSetupBundleItem>& bundleItems) {
    for (;;) {
        std::vector<std::string> held = FilesInUse(platform, values, installer, bundleItems);
        if (held.empty()) return true;
        if (!platform.RetryCancelBox(FilesInUseText(held, platform.ProgramsUsing(held)))) return false;
    }
}

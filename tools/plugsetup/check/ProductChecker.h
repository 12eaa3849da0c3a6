// The checker behind plugsetup check, shared by its files: Setup.ini itself (ProductCheck.cpp),
// what the components install (InstallPlanCheck.cpp), texts in the code page (CodePageCheck.cpp)
// and the product tree's own findings (TreeCheck.cpp). It asks the tree, never the disk, what
// the folder holds.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/Bundles.h"
#include "engine/IniFile.h"
#include "engine/SetupSchema.h"
#include "engine/Variables.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/check/ProductCheck.h"

class CodePage;

// The [Shortcuts] names that make a shortcut, written exactly so.
inline constexpr const char* kShortcutPlaces[] = {"StartMenu", "Desktop", "ProgramFolder"};

class ProductChecker {
public:
    ProductChecker(const ProductTree& tree, const TProgramVersion& version, const CodePage& codePage);
    std::vector<CheckFinding> Run();

private:
    void Error(const std::string& file, int line, const std::string& message);
    void Warning(const std::string& file, int line, const std::string& message);

    int SectionLine(const char* name) const;
    const IniLine* KeyLine(const char* section, const char* key) const;
    const std::vector<IniLine>& Lines(const char* section) const;

    // ProductCheck.cpp: Setup.ini and BundleInfo.ini as the engine reads them.
    void Load();
    void LoadBundleItems();
    void CheckLayout();
    void CheckLanguages();  // LanguageCheck.cpp
    void CheckBooleans();
    void CheckDefaultFolder();
    std::vector<std::string> ExpandedSources(const std::string& source) const;
    void CheckComponents();
    void CheckShortcutPlaces();
    void CheckBundleSettings();
    void CheckFoldersRegistry();
    void CheckWords(const std::string& text, int line, ValueKind kind);
    void CheckFolderReference(const std::string& word, int line);
    void CheckBundleItemName(const std::string& text, std::size_t end, int line);
    void CheckVariables();

    // InstallPlanCheck.cpp: the files the components install, on a sample Windows.
    void PlanInstallation();
    void CheckFilesWrittenTwice();
    void CheckVst3Libraries();
    void CheckCallLibraries();
    void CheckShortcutTargets();
    void CheckShortcutNames();
    void CheckVst3Bundles();
    bool Installs(const std::string& path) const;

    // MachineCheck.cpp: the lines marked for x64 and Arm64 machines.
    void CheckMachineBuilds();

    // TreeCheck.cpp: what the tree refuses or leaves out.
    void CheckProductTree();

    // CodePageCheck.cpp: what the code page cannot hold, or what the setup would split.
    // Setup.ini's lines hold paths as the schema says; everyLineIsPath for BundleInfo.ini,
    // whose names and product names end up in paths; neither for the licence text.
    void CheckTextInCodePage(const ProductEntry& file, bool setupIni, bool everyLineIsPath);
    // The host path of a file expected at the top of the folder, for a finding about it.
    std::string TopLevelPath(const char* name) const;

    // One file a component line installs, with its destination as written.
    struct PlannedFile {
        int Line;
        std::string Shown;  // destination text, "\" and the path inside the component (renamed)
    };

    const ProductTree& tree_;
    const CodePage& codePage_;
    std::string iniPath_;
    const IniFile* ini_ = nullptr;
    SetupValues values_;  // as the engine loads them, with the folders of a sample Windows
    std::vector<TSetupBundleItem> items_;
    std::vector<CheckFinding> findings_;
    // Every file and folder the components install, by upper-case expanded path, first writer first.
    std::map<std::string, std::vector<PlannedFile>> plannedFiles_;
    std::map<std::string, int> plannedFolders_;
    // Every ".dll" a VST 3 component installs, by upper-case expanded path before renaming.
    struct PlannedLibrary {
        int Line;
        std::string Source;     // the archive folder it comes from, upper case
        std::string Written;    // the expanded path as extracted, before the file hook renames it
        std::string Installed;  // the same, renamed
        std::string Shown;      // destination text, "\" and the path inside the component
        bool Suffixed;          // the line gives a DLLSuffix
    };
    std::map<std::string, PlannedLibrary> vst3Libraries_;
    // Every file a VST 3 component installs, by upper-case installed path (renamed).
    struct PlannedVst3File {
        int Line;
        std::string Installed;  // expanded and renamed
        std::string Shown;      // destination text, "\" and the path inside the component (renamed)
    };
    std::map<std::string, PlannedVst3File> vst3Files_;
};

// The command line of Setup.exe and of the uninstaller: the one table of switches (the help box
// and the guide's table are made from it), and the parser. Started without arguments, both run
// exactly as they always did.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/Variables.h"
#include "setup/RunMode.h"
#include "system/Exceptions.h"

// A switch that is unknown, malformed, given twice or contradicted by another.
class ECommandLineError : public Exception {
    using Exception::Exception;
};

// How much of the window a run shows: all of it, the copy page's progress only, or nothing.
enum class Quietness { Window, ProgressOnly, Nothing };

// A plug-in format that has its own switches: the folder it goes to and whether it is installed.
// Each row names the format of the engine's table whose folder and install switch it sets.
struct FormatSwitch {
    const char* Name;  // "VST2": /VST2DIR=FOLDER and /NOVST2
    PluginFormat Format;
};
const std::vector<FormatSwitch>& FormatSwitches();

// One line of the switch table, as the help box and the guide show it.
struct SwitchHelp {
    std::string Spelling;  // "/DIR=FOLDER"
    std::string Text;
    bool ForSetup = false;
    bool ForUninstaller = false;
};
const std::vector<SwitchHelp>& SwitchTable();
// The help box's text for the program in that role.
std::string SwitchHelpText(RunMode role);

struct FormatOptions {
    std::optional<std::string> Folder;
    bool Off = false;
};

struct SetupOptions {
    Quietness Quiet = Quietness::Window;
    bool Help = false;
    bool AcceptLicense = false;
    std::string LogFile;
    std::optional<std::string> ProgramFolder;
    // Parallel to FormatSwitches().
    std::vector<FormatOptions> Formats;
    // Bundle items by name; when given, exactly these are installed.
    std::optional<std::vector<std::string>> Items;
    std::optional<bool> DesktopIcon;
    bool NoStartMenuIcons = false;
    std::optional<std::string> OwnerName;
    // The language code of /LANG, or empty: the run then speaks the user's UI language.
    std::string Language;
    // The first bad switch, or empty; the switches before and after it still count, so the
    // error is reported the way they ask (a box, or the log and an exit status).
    std::string Error;

    bool Silent() const { return Quiet != Quietness::Window; }
    // Whether any switch changes what the wizard would propose.
    bool ChangesChoices() const;
};

// The arguments after the program's own name in a command line as Windows hands it over
// (GetCommandLine): the name is skipped, quoted or not.
std::string ArgumentsOf(const std::string& commandLine);
// Parses the arguments. Switches start with "/" or "-", names are compared without regard to
// case, values may be quoted ("/DIR="C:\Program Files\X""); "/D=" takes the rest of the line,
// unquoted, as the installers built with NSIS do.
SetupOptions ParseCommandLine(const std::string& arguments, RunMode role);

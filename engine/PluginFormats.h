// The plug-in formats a setup installs, one row each: what marks a [Components] line as the
// format's, its folder variable and install switch, where its folder is found on this computer
// and where the tool assumes it, and the name preview --set knows it by. Detection, the path
// variables, preview, check and the wizard (through its own rows of controls) read this table.
#pragma once

#include <array>
#include <cstddef>
#include <string>

class Platform;
struct SetupValues;

enum class PluginFormat : int { None = -1, Vst2, Vst3, Clap, Aax, Rtas, Photoshop };
inline constexpr std::size_t kPluginFormatCount = 6;

// What the setup holds about one format on this computer.
struct PluginFormatState {
    std::string Folder;  // detected, then as the wizard's page left it
    // Turned off only by the wizard's pages; a path naming a declined folder expands to nothing.
    bool Install = true;
    // For a format with a component mark: whether the setup carries plug-ins of it, and for a
    // bundle where only some items do, their names joined by ", ".
    bool Available = false;
    std::string OnlyFor;
};

// What marks a [Components] line's destination as a plug-in format's: VST 3 by any text holding
// "Vst3" (as it always has; the file hook also names its libraries by it), CLAP by its folder
// variable.
inline constexpr const char* kVst3ComponentMark = "Vst3";
inline constexpr const char* kClapPluginFolderVariable = "$ClapPluginFolder";

struct PluginFormatRow {
    PluginFormat Format;
    const char* Name;            // "VST 3", as the guide names it
    const char* SetName;         // plugsetup preview --set NAME=FOLDER|off
    const char* SwitchName;      // the install switch, as the data model names it
    const char* FolderVariable;  // "$Vst3PluginFolder": emptied with the whole path while off
    // Offered only when the setup carries files of the format (OfferPluginFormat); nullptr for
    // a format whose page always offers it.
    const char* ComponentMark;
    // The folder below Common Files (of the product's bitness), or nullptr when Detect finds it.
    const char* CommonFilesFolder;
    // Reads the folder from the host's registry entries; leaves it empty when none is found.
    void (*Detect)(SetupValues& values, Platform& platform);
    // Below Program Files, where check (and preview, for VST 2) assumes a host keeps these
    // plug-ins when the registry names no folder; nullptr for the Common Files formats.
    const char* UsualFolder;
    // Prepared but never offered: the page hides it and its switch ends off when the page is
    // shown.
    bool NeverOffered;
};

// In the order every list of formats follows (preview's --set help among them).
const std::array<PluginFormatRow, kPluginFormatCount>& PluginFormats();
const PluginFormatRow& FormatRow(PluginFormat format);
inline std::size_t FormatIndex(PluginFormat format) {
    return static_cast<std::size_t>(format);
}
// The row whose SetName is name, letters in either case; nullptr when none.
const PluginFormatRow* FormatBySetName(const std::string& name);

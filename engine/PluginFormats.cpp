#include "engine/PluginFormats.h"

#include "engine/Folders.h"
#include "system/CommonUtils.h"

const std::array<PluginFormatRow, kPluginFormatCount>& PluginFormats() {
    using F = PluginFormat;
    // Listed in PluginFormat order; FormatRow relies on it and the tests check it.
    static const std::array<PluginFormatRow, kPluginFormatCount> rows{{
        {F::Vst2, "VST 2", "vst2", "InstallVst2", "$VstPluginFolder", nullptr, nullptr, DetectVst2Folder,
         "Steinberg\\VstPlugins", false},
        {F::Vst3, "VST 3", "vst3", "InstallVst3", "$Vst3PluginFolder", kVst3ComponentMark, "VST3", nullptr,
         nullptr, false},
        {F::Clap, "CLAP", "clap", "InstallClap", kClapPluginFolderVariable, kClapPluginFolderVariable, "CLAP",
         nullptr, nullptr, false},
        {F::Aax, "AAX", "aax", "InstallAax", "$AaxPluginFolder", nullptr, "Avid\\Audio\\Plug-Ins", nullptr,
         nullptr, false},
        {F::Rtas, "RTAS", "rtas", "InstallRtas", "$DigiPluginFolder", nullptr, "Digidesign\\DAE\\Plug-Ins",
         nullptr, nullptr, true},
        {F::Photoshop, "Photoshop", "photoshop", "InstallPhotoshop", "$PhotoshopPluginFolder", nullptr,
         nullptr, DetectPhotoshopFolder, "Adobe\\Photoshop\\Plug-ins", false},
    }};
    return rows;
}

const PluginFormatRow& FormatRow(PluginFormat format) {
    return PluginFormats().at(FormatIndex(format));
}

const PluginFormatRow* FormatBySetName(const std::string& name) {
    for (const PluginFormatRow& row : PluginFormats())
        if (SameText(name, row.SetName)) return &row;
    return nullptr;
}

#include "wizard/FormatControls.h"

#include "system/Exceptions.h"

const std::array<FormatControls, kPluginFormatCount>& FormatControlRows() {
    using F = PluginFormat;
    using I = ControlId;
    constexpr I N = I::None;
    static const std::array<FormatControls, kPluginFormatCount> rows{{
        {F::Vst2, kPageVstPlugins, I::Vst2InstallCheck, I::Vst2FolderLabel, I::Vst2FolderInput,
         I::Vst2BrowseButton, TextId::Vst2BrowseTitle, true, N,
         I::Vst2DescriptionLabel, F::None},
        {F::Vst3, kPageVstPlugins, I::Vst3InstallCheck, N, N, N, TextId::None, false, I::Vst3ListLabel,
         I::Vst3DescriptionLabel, F::None},
        {F::Clap, kPageVstPlugins, I::ClapInstallCheck, N, N, N, TextId::None, false, I::ClapListLabel,
         I::ClapDescriptionLabel, F::None},
        {F::Rtas, kPageDigiPlugins, I::RtasInstallCheck, N, N, N, TextId::None, false, N, I::RtasDescriptionLabel,
         F::None},
        {F::Aax, kPageDigiPlugins, I::AaxInstallCheck, N, N, N, TextId::None, false, N, I::AaxDescriptionLabel,
         F::Rtas},
        {F::Photoshop, kPagePhotoshopPlugin, I::PhotoshopInstallCheck, I::PhotoshopFolderLabel,
         I::PhotoshopFolderInput, I::PhotoshopBrowseButton,
         TextId::PhotoshopBrowseTitle, false, N, I::PhotoshopInfoLabel,
         F::None},
    }};
    return rows;
}

const FormatControls& ControlsOf(PluginFormat format) {
    for (const FormatControls& row : FormatControlRows())
        if (row.format == format) return row;
    throw EProgramFault("no controls for the plug-in format");
}

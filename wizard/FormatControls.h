// The wizard's controls of each plug-in format, one row per format in the order of their pages:
// the page that shows them, the check box, the folder field with its label, Browse button and
// picker title, the "(Only for ...)" line of a format offered only when the setup carries it,
// and the description. ControlId::None where the format has no such control. A new format is a
// row of PluginFormats(), its controls in the control table and a row here.
#pragma once

#include <array>

#include "engine/PluginFormats.h"
#include "wizard/ControlTable.h"

struct FormatControls {
    PluginFormat format;
    int page;
    ControlId check;
    ControlId folderLabel, folderInput, browseButton;
    TextId browseTitle;  // TextId::None without a folder field
    // Clearing the check box greys the folder controls and turns the switch off at once.
    bool checkEnablesFolder;
    ControlId onlyForLabel;  // "(Only for $List)", for a format with a component mark
    ControlId description;
    // The never-offered format whose place on the page this one takes.
    PluginFormat inPlaceOf;
};

const std::array<FormatControls, kPluginFormatCount>& FormatControlRows();
const FormatControls& ControlsOf(PluginFormat format);

// The sink the installation run reports to; the wizard's copy page implements it.
#pragma once

#include <string>

class ISetupProgress {
public:
    virtual ~ISetupProgress() = default;
    // Position of the progress bar, 0 to 100.
    virtual void SetProgress(int percent) = 0;
    // The line above the bar naming the current stage.
    virtual void SetStatus(const std::string& text) = 0;
    // The run is still at work: called after every file it copies and after every block of up
    // to 1 MiB written. Changes nothing the page shows; a window handles its pending messages
    // here, so that it never looks hung. Nothing by default.
    virtual void StillWorking() {}
};

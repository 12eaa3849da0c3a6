// What the wizard asks of the setup engine: the configuration it shows, the values the pages
// write back, and the checks and the installation run. The engine implements it; host tests
// use a fake.
#pragma once

#include <string>

#include "engine/PluginFormats.h"
#include "engine/SetupProgress.h"

struct WizardPageFlags {
    bool vstPluginFolder = false;
    bool digiPluginFolder = false;
    bool photoshopPluginFolder = false;
    bool personalization = false;
};

struct ShortcutSet {
    bool startMenu = false;
    bool desktop = false;
    bool Empty() const { return !startMenu && !desktop; }
};

class IWizardEngine {
public:
    virtual ~IWizardEngine() = default;

    // Resolves the $-variables of a text.
    virtual std::string ExpandText(const std::string& text) = 0;

    // --- configuration ---------------------------------------------------------------
    virtual bool IsBundle() = 0;
    virtual bool Is64Bit() = 0;
    virtual WizardPageFlags PageFlags() = 0;
    virtual ShortcutSet ShortcutKinds() = 0;
    virtual std::string WelcomeWin64() = 0;  // expanded; empty when no notice is due
    virtual std::string LicenseText() = 0;
    virtual std::string CompleteMessage() = 0;  // expanded
    virtual std::string ReadmeFile() = 0;       // expanded; empty when not configured
    virtual std::string ProductFile() = 0;      // expanded; empty when not configured

    // --- bundle items ------------------------------------------------------------------
    virtual int BundleItemCount() = 0;
    virtual std::string BundleItemName(int index) = 0;
    virtual bool BundleItemSelected(int index) = 0;
    virtual void SetBundleItemSelected(int index, bool selected) = 0;

    // --- plug-in formats and folders -------------------------------------------------------
    // The format's folder, switch and offer; the pages write the folder and the switch back.
    virtual PluginFormatState& Format(PluginFormat format) = 0;

    // --- destination, owner, shortcuts -------------------------------------------------------
    virtual std::string DestinationFolder() = 0;
    // The destination page hands the folder on with its trailing backslash, as validated.
    virtual void SetDestinationFolder(const std::string& folder) = 0;
    virtual std::string UserName() = 0;
    virtual void SetUserName(const std::string& name) = 0;
    virtual void SetShortcutChoice(ShortcutSet choice) = 0;

    // --- earlier installation -------------------------------------------------------------
    virtual bool ExistingInstallFound() = 0;
    virtual std::string ExistingFolder() = 0;  // with a trailing backslash
    virtual int SetupMajorVersion() = 0;
    virtual int InstalledMajorVersion() = 0;

    // --- checks and the run -------------------------------------------------------------------
    // Shows its own message and returns false when this machine cannot take the product
    // (missing rights, 64-bit product on 32-bit Windows); the program then ends.
    virtual bool CheckCanInstall() = 0;
    // Whether every folder of the path exists or can be created; leaves the disk as it was.
    virtual bool CanCreateFolder(const std::string& path) = 0;
    // Raises on failure; reports through progress.
    virtual void Install(ISetupProgress& progress) = 0;
};

// The steps of the installation run that copy: disk space, components, library calls.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/Variables.h"

class Platform;
class TInstaller;
class TSetupBundleItem;
struct ProductPlaces;

inline constexpr char kUninstallerFileName[] = "Uninst.exe";

// Kept free on the destination drive beyond the components themselves.
inline constexpr std::uint64_t kDiskSpaceReserve = 1048576;

// Unpacked bytes of every [Components] source folder, by its name as written. Summed in 64
// bits: a product of 2 GiB or more must not wrap around and pass the space check.
std::int64_t ComponentsSize(const SetupValues& values, TInstaller& installer);
// The root of the drive that holds path: "C:\" or "\\server\share\"; "\" when it names none.
std::string DriveRoot(const std::string& path);
// ESetupError(the NotEnoughSpaceMessage text) unless the destination's drive has requiredBytes and the
// reserve free. A drive that cannot be asked counts as full.
void CheckDiskSpace(Platform& platform, const std::string& destination, std::int64_t requiredBytes);
// ESetupError(the PathTooLongMessage text) naming the first file or missing folder that the components
// (of the selected bundle items, then the setup's own) or Uninst.exe would get a path longer
// than the system takes; plug-in libraries are measured by the names they will get.
void CheckPathLengths(Platform& platform, SetupValues& values, TInstaller& installer,
                      const std::vector<TSetupBundleItem>& bundleItems);
// Where this run installs (the destination and the folders of the components of the selected
// bundle items and of the setup's own), the product's registry root, and the folder the
// product's registry record names for the earlier installation: what an update may keep of
// the earlier record.
ProductPlaces ProductPlacesOf(SetupValues& values, TInstaller& installer,
                              const std::vector<TSetupBundleItem>& bundleItems);

// Every folder and file the copy writes, by the path it gives them (plug-in libraries renamed,
// folders with a trailing backslash, each component's folder before its contents): the
// components of the selected bundle items, then the setup's own. TInstaller's Overwrite switch
// is the component's while its paths are visited.
using TargetVisit = std::function<void(const std::string& path, bool isFolder)>;
void VisitInstallTargets(SetupValues& values, TInstaller& installer,
                         const std::vector<TSetupBundleItem>& bundleItems, const TargetVisit& visit);
// One [Components] line: the source folder (as written, before expansion), the destination text
// before the first ",", and the suffix of a "DLLSuffix:" option after it (a blank in front), or
// empty. IsVst3 marks a component whose files the file hook gives the ".vst3" extension.
struct ComponentLine {
    std::string Source;
    std::string DestinationText;
    std::string DllSuffix;
    bool IsVst3 = false;
};
ComponentLine ParseComponentLine(const std::string& line);
// A [ComponentsOptions] line "name=NoOverwrite", both exactly as written.
bool IsNoOverwrite(const SetupValues& values, const std::string& name);
// Extracts every [Components] line whose source and destination expand, for one bundle item
// or (null) for the setup itself; the item's files carry its FileDate.
void InstallComponents(SetupValues& values, TInstaller& installer, const TSetupBundleItem* item);
// Calls each [CallLibraries] export once; a library or export that is missing is skipped.
void RunCallLibraries(Platform& platform, const SetupValues& values);
// Where the bar stands before the item at index done of count, between from and to.
int BundleProgress(int from, int to, std::size_t done, std::size_t count);

#include "archive/ArchiveLocation.h"

#include "archive/SetupData.h"
#include "system/CommonUtils.h"
#include "system/Platform.h"

std::unique_ptr<Stream> OpenArchiveData(Platform& platform) {
    return OpenArchiveData(platform, platform.OwnProgramPath());
}

std::unique_ptr<Stream> OpenArchiveData(Platform& platform, const std::string& programPath) {
    // Others may read and write the program while it runs; Setup.dat is ours alone meanwhile.
    auto own = platform.OpenForReading(programPath, ShareMode::DenyNone);
    own->Seek(kArchiveOffsetWordPosition);
    std::int32_t offset = own->ReadInt32();  // signed: a word with the top bit set counts as none
    if (offset > 0) {
        own->Seek(offset);
        return own;
    }
    own.reset();
    return platform.OpenForReading(ExtractFilePath(programPath) + kSetupDataFile, ShareMode::Exclusive);
}

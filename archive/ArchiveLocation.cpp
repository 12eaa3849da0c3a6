#include "archive/ArchiveLocation.h"

#include "archive/SetupData.h"
#include "system/CommonUtils.h"
#include "system/Platform.h"
#include "system/Stream.h"

std::unique_ptr<Stream> OpenArchiveData(Platform& platform) {
    return OpenArchiveData(platform, platform.OwnProgramPath());
}

std::unique_ptr<Stream> OpenArchiveData(Platform& platform, const std::string& programPath) {
    // Others may read and write the program while it runs; Setup.dat is ours alone meanwhile.
    auto own = platform.OpenForReading(programPath, ShareMode::DenyNone);
    own->Seek(kArchiveOffsetWordPosition);
    std::int32_t offset = own->ReadInt32();  // signed: a word with the top bit set counts as none
    // Read through a buffer: the check asks for 4 KiB blocks and the walks for 76-byte records.
    if (offset > 0) {
        own->Seek(offset);
        return std::make_unique<BufferedReadStream>(std::move(own));
    }
    own.reset();
    return std::make_unique<BufferedReadStream>(
        platform.OpenForReading(ExtractFilePath(programPath) + kSetupDataFile, ShareMode::Exclusive));
}

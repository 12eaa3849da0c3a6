#include "archive/ArchiveLocation.h"

#include "archive/ProgramHeader.h"
#include "system/CommonUtils.h"
#include "system/Platform.h"
#include "system/Stream.h"

std::unique_ptr<Stream> OpenArchiveData(Platform& platform) {
    return OpenArchiveData(platform, platform.OwnProgramPath());
}

std::unique_ptr<Stream> OpenArchiveData(Platform& platform, const std::string& programPath) {
    // Read through a buffer: the check asks for 4 KiB blocks and the walks for 76-byte records.
    return std::make_unique<BufferedReadStream>(OpenArchiveFile(platform, programPath));
}

std::unique_ptr<Stream> OpenArchiveFile(Platform& platform, const std::string& programPath) {
    // Others may read and write the program while it runs; Setup.dat is ours alone meanwhile.
    auto own = platform.OpenForReading(programPath, ShareMode::DenyNone);
    if (std::optional<std::int64_t> start = AppendedDataStart(ReadProgramHeaderWords(*own))) {
        own->Seek(*start);
        return own;
    }
    own.reset();
    return platform.OpenForReading(ExtractFilePath(programPath) + kSetupDataFile, ShareMode::Exclusive);
}

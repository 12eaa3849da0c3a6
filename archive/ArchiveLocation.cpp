#include "archive/ArchiveLocation.h"

#include "system/CommonUtils.h"
#include "system/Platform.h"

std::unique_ptr<Stream> OpenArchiveData(Platform& platform) {
    auto own = platform.OpenForReading(platform.OwnProgramPath(), ShareMode::DenyNone);
    own->Seek(0x30);
    std::int32_t offset = own->ReadInt32();  // signed: a word with the top bit set counts as none
    if (offset > 0) {
        own->Seek(offset);
        return own;
    }
    own.reset();
    return platform.OpenForReading(OwnFolder(platform) + kSetupDataFile, ShareMode::Exclusive);
}

#include "tools/plugsetup/SetupFile.h"

#include <cstdio>

#include "archive/SetupData.h"

OpenedSetupFile OpenSetupFile(const std::string& path) {
    OpenedSetupFile opened;
    opened.File = HostFile::OpenForReading(path);
    std::uint8_t head[kArchiveOffsetWordPosition + 4] = {};
    std::size_t got = opened.File->Read(head, sizeof head);
    if (got == sizeof head && head[0] == 'M' && head[1] == 'Z') {
        const std::uint8_t* word = head + kArchiveOffsetWordPosition;
        auto offset = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(word[0]) | static_cast<std::uint32_t>(word[1]) << 8 |
            static_cast<std::uint32_t>(word[2]) << 16 | static_cast<std::uint32_t>(word[3]) << 24);
        if (offset > 0) {
            opened.IsProgram = true;
            opened.ArchiveStart = offset;
        }
    }
    opened.File->Seek(opened.ArchiveStart);
    return opened;
}

std::string FormatBuildTime(double buildTime) {
    std::optional<DateTimeParts> p = DecodeDateTime(buildTime);
    if (!p) return "(invalid)";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p->Year, p->Month, p->Day, p->Hour,
                  p->Minute, p->Second);
    return text;
}

#include "archive/SetupData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "system/Exceptions.h"
#include "system/Stream.h"

namespace {

// Days from 1 January 1970 to the given civil date (proleptic Gregorian), after Howard
// Hinnant's days_from_civil; exact for all years we accept.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kUnixEpochDay = 25569;  // 1 January 1970 as a day count
constexpr double kMinDayCount = -693593;       // 1 January 0001
constexpr double kMaxDayCount = 2958466;       // 1 January 10000

}  // namespace

// --- header -------------------------------------------------------------------------------

ArchiveHeader ReadArchiveHeader(Stream& stream) {
    std::uint8_t raw[kArchiveHeaderSize];
    stream.ReadBuffer(raw, sizeof raw);
    MemoryStream fields(std::vector<std::uint8_t>(raw + kSignatureSize, raw + sizeof raw));
    ArchiveHeader header;
    std::memcpy(header.Signature, raw, kSignatureSize);
    header.DataLength = fields.ReadInt32();
    header.Checksum = fields.ReadUInt32();
    header.BuildTime = fields.ReadDouble();
    header.FileCount = fields.ReadInt32();
    return header;
}

void WriteArchiveHeader(Stream& stream, const ArchiveHeader& header) {
    MemoryStream raw;
    raw.Write(header.Signature, kSignatureSize);
    raw.WriteInt32(header.DataLength);
    raw.WriteUInt32(header.Checksum);
    raw.WriteDouble(header.BuildTime);
    raw.WriteInt32(header.FileCount);
    stream.Write(raw.Bytes().data(), raw.Bytes().size());
}

// --- checksum and time ----------------------------------------------------------------------

std::optional<double> EncodeDateTime(const DateTimeParts& p) {
    if (p.Year < 1 || p.Year > 9999 || p.Month < 1 || p.Month > 12) return std::nullopt;
    if (p.Day < 1 || p.Day > DaysInMonth(p.Year, p.Month)) return std::nullopt;
    if (p.Hour < 0 || p.Hour > 23 || p.Minute < 0 || p.Minute > 59 || p.Second < 0 || p.Second > 59 ||
        p.Millisecond < 0 || p.Millisecond > 999)
        return std::nullopt;
    double date = static_cast<double>(
        DaysFromCivil(p.Year, static_cast<unsigned>(p.Month), static_cast<unsigned>(p.Day)) + kUnixEpochDay);
    double time = static_cast<double>(((p.Hour * 60 + p.Minute) * 60 + p.Second) * 1000 + p.Millisecond) /
                  static_cast<double>(kMsPerDay);
    // Before 1899 the whole days count backwards but the time of day still forwards.
    return date < 0 ? date - time : date + time;
}

std::optional<DateTimeParts> DecodeDateTime(double value) {
    if (!std::isfinite(value) || value <= kMinDayCount - 1 || value >= kMaxDayCount) return std::nullopt;
    // Rounded to the millisecond first, so 23:59:59.9996 is already the next day.
    auto ms = static_cast<std::int64_t>(std::nearbyint(value * static_cast<double>(kMsPerDay)));
    std::int64_t days = ms / kMsPerDay;
    std::int64_t time = (ms < 0 ? -ms : ms) % kMsPerDay;
    DateTimeParts p;
    CivilFromDays(days - kUnixEpochDay, p.Year, p.Month, p.Day);
    if (p.Year < 1 || p.Year > 9999) return std::nullopt;
    p.Millisecond = static_cast<int>(time % 1000);
    p.Second = static_cast<int>(time / 1000 % 60);
    p.Minute = static_cast<int>(time / 60000 % 60);
    p.Hour = static_cast<int>(time / 3600000);
    return p;
}

std::int32_t PackDateTime(double buildTime) {
    std::optional<DateTimeParts> p = DecodeDateTime(buildTime);
    if (!p || p->Year < 1980 || p->Year > 2107) return 0;
    auto packed = static_cast<std::uint32_t>(p->Year - 1980) << 25 |
                  static_cast<std::uint32_t>(p->Month) << 21 | static_cast<std::uint32_t>(p->Day) << 16 |
                  static_cast<std::uint32_t>(p->Hour) << 11 | static_cast<std::uint32_t>(p->Minute) << 5 |
                  static_cast<std::uint32_t>(p->Second / 2);
    return static_cast<std::int32_t>(packed);
}

// --- checking ---------------------------------------------------------------------------------

ArchiveInfo CheckArchive(Stream& stream, CodePageConversion convert) {
    ArchiveInfo info;
    info.ArchiveStart = stream.Position();
    ArchiveHeader header = ReadArchiveHeader(stream);
    if (std::memcmp(header.Signature, kSetupSignature, kSignatureSize) != 0)
        throw ESetupError(kInvalidSignatureMessage);

    const std::int64_t dataStart = stream.Position();
    // Every pass lowers the count by a whole block, whatever the read obtained: past the end of
    // a truncated file the reads yield nothing, the loop still ends and the sum differs.
    std::uint32_t adler = 1;
    std::int64_t obtained = 0;
    std::uint8_t block[kChecksumBlockSize];
    for (std::int64_t remaining = header.DataLength; remaining > 0;
         remaining -= static_cast<std::int64_t>(kChecksumBlockSize)) {
        std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(remaining, kChecksumBlockSize));
        std::size_t got = stream.Read(block, want);
        adler = Adler32(adler, block, got);
        obtained += static_cast<std::int64_t>(got);
    }
    // The sum alone would pass a data length raised past the end of the file (the header is
    // not summed and the missing bytes add nothing), so a short archive fails here too.
    if (adler != header.Checksum || obtained != header.DataLength)
        throw ESetupError(kCorruptedArchiveMessage);
    // A matching sum over too few bytes to hold the version record and an end record: the
    // data we would read next is not what the checksum vouched for.
    if (header.DataLength < kVersionRecordSize + kEntryRecordSize)
        throw ESetupError(kCorruptedArchiveMessage);

    stream.Seek(dataStart);
    info.Version.LoadFromStream(stream);
    info.BuildTime = header.BuildTime;
    info.FileDate = PackDateTime(header.BuildTime);
    info.DataLength = header.DataLength;
    info.FileCount = header.FileCount;
    info.DirectoryStart = stream.Position();
    info.ArchiveEnd = dataStart + header.DataLength;
    info.TextCodePage = ReadTextCodePage(stream, info.DirectoryStart, info.ArchiveEnd);
    info.Text = std::make_shared<ArchiveText>(info.TextCodePage, std::move(convert));
    stream.Seek(info.DirectoryStart);
    return info;
}

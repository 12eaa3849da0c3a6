#include "tools/plugsetup/BuildTime.h"

#include <cstdint>

#include "archive/SetupData.h"

namespace {

bool ReadNumber(const std::string& text, std::size_t at, std::size_t digits, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::optional<double> ParseBuildTime(const std::string& text) {
    // 0123456789012345678
    // YYYY-MM-DDTHH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':')
        return std::nullopt;
    DateTimeParts p;
    if (!ReadNumber(text, 0, 4, p.Year) || !ReadNumber(text, 5, 2, p.Month) ||
        !ReadNumber(text, 8, 2, p.Day) || !ReadNumber(text, 11, 2, p.Hour) ||
        !ReadNumber(text, 14, 2, p.Minute) || !ReadNumber(text, 17, 2, p.Second))
        return std::nullopt;
    return EncodeDateTime(p);
}

std::optional<double> BuildTimeFromEpoch(const std::string& text) {
    if (text.empty() || text.size() > 15) return std::nullopt;
    std::int64_t seconds = 0;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        seconds = seconds * 10 + (text[i] - '0');
    }
    if (text[0] == '-') seconds = -seconds;
    constexpr std::int64_t kSecondsPerDay = 86400;
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    // 1 January 1970 is day 25569; the date as a whole day count, the UTC time of day as the
    // fraction: exactly what EncodeDateTime makes of the UTC wall-clock parts.
    std::optional<DateTimeParts> date = DecodeDateTime(static_cast<double>(days + 25569));
    if (!date) return std::nullopt;
    date->Hour = static_cast<int>(rest / 3600);
    date->Minute = static_cast<int>(rest / 60 % 60);
    date->Second = static_cast<int>(rest % 60);
    return EncodeDateTime(*date);
}

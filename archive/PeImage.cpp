#include "archive/PeImage.h"

#include <algorithm>

#include "system/LittleEndian.h"
#include "system/Stream.h"

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint64_t kNewHeaderPointer = 0x3C;  // e_lfanew
constexpr std::uint64_t kCoffHeaderSize = 24;      // "PE\0\0" and the file header
constexpr std::uint64_t kCheckSumField = 64;       // in the optional header, PE32 and PE32+ alike
constexpr std::uint32_t kSecurityEntryIndex = 4;
constexpr std::uint64_t kDirectoryEntrySize = 8;
// The headers of any program we meet lie well inside this; a longer DOS stub is no program of ours.
constexpr std::size_t kHeaderReadLimit = 64 * 1024;

}  // namespace

std::optional<PeHeaderFields> FindPeHeaderFields(const std::uint8_t* bytes, std::size_t size) {
    const std::uint64_t end = size;
    if (end < kNewHeaderPointer + 4 || bytes[0] != 'M' || bytes[1] != 'Z') return std::nullopt;
    const std::uint64_t pe = ReadLe32(bytes + kNewHeaderPointer);
    if (pe + kCoffHeaderSize > end) return std::nullopt;
    if (bytes[pe] != 'P' || bytes[pe + 1] != 'E' || bytes[pe + 2] != 0 || bytes[pe + 3] != 0)
        return std::nullopt;
    const std::uint64_t optional = pe + kCoffHeaderSize;
    const std::uint64_t optionalEnd = std::min(end, optional + ReadLe16(bytes + pe + 20));
    if (optional + 2 > optionalEnd) return std::nullopt;
    const std::uint32_t magic = ReadLe16(bytes + optional);
    if (magic != kPe32Magic && magic != kPe32PlusMagic) return std::nullopt;
    const std::uint64_t countField = optional + (magic == kPe32Magic ? 92 : 108);
    const std::uint64_t directory = countField + 4;
    if (directory > optionalEnd || ReadLe32(bytes + countField) <= kSecurityEntryIndex) return std::nullopt;
    const std::uint64_t security = directory + kSecurityEntryIndex * kDirectoryEntrySize;
    if (security + kDirectoryEntrySize > optionalEnd) return std::nullopt;
    return PeHeaderFields{static_cast<std::size_t>(optional + kCheckSumField),
                          static_cast<std::size_t>(security)};
}

std::optional<CertificateTable> CertificateTableIn(const std::uint8_t* bytes, std::size_t size) {
    std::optional<PeHeaderFields> fields = FindPeHeaderFields(bytes, size);
    if (!fields) return std::nullopt;
    CertificateTable table{ReadLe32(bytes + fields->SecurityEntryPosition),
                           ReadLe32(bytes + fields->SecurityEntryPosition + 4)};
    if (table.Offset == 0 && table.Size == 0) return std::nullopt;
    return table;
}

std::optional<CertificateTable> ReadCertificateTable(Stream& file) {
    std::vector<std::uint8_t> head(kHeaderReadLimit);
    file.Seek(0);
    head.resize(file.Read(head.data(), head.size()));
    return CertificateTableIn(head.data(), head.size());
}

std::uint32_t PeChecksum(const std::uint8_t* bytes, std::size_t size, std::size_t checkSumPosition) {
    // The checksum field's four bytes count as zero.
    auto byteAt = [&](std::size_t i) -> std::uint32_t {
        if (i >= size || (i >= checkSumPosition && i < checkSumPosition + 4)) return 0;
        return bytes[i];
    };
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < size; i += 2) {
        sum += byteAt(i) | byteAt(i + 1) << 8;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<std::uint32_t>(size);
}

bool MakeUnsignedImage(std::vector<std::uint8_t>& image) {
    std::optional<PeHeaderFields> fields = FindPeHeaderFields(image.data(), image.size());
    if (!fields) return false;
    // Checksum readers differ on an odd last byte (some drop it and count the length without
    // it); at an even length every one of them finds the sum we write.
    if (image.size() % 2 != 0) image.push_back(0);
    PutLe32(image.data() + fields->SecurityEntryPosition, 0);
    PutLe32(image.data() + fields->SecurityEntryPosition + 4, 0);
    PutLe32(image.data() + fields->CheckSumPosition,
            PeChecksum(image.data(), image.size(), fields->CheckSumPosition));
    return true;
}

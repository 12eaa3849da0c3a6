// The two fields of a Windows program's PE headers that code signing touches: the certificate
// table's entry in the data directory (IMAGE_DIRECTORY_ENTRY_SECURITY, a file offset and a size)
// and the optional header's CheckSum. Signing appends the table, points the entry at it and
// fixes the checksum; a copy of part of a signed file must undo the first and redo the second.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class Stream;

// Where the two fields lie in one file.
struct PeHeaderFields {
    std::size_t CheckSumPosition = 0;
    std::size_t SecurityEntryPosition = 0;  // the entry's file offset word; its size word follows
};

struct CertificateTable {
    std::uint32_t Offset = 0;
    std::uint32_t Size = 0;
};

// The fields' positions, when bytes begin with MZ and PE headers (PE32 or PE32+) that hold a
// security entry; nothing otherwise. bytes may be only the file's first part, as long as it
// reaches past the optional header.
std::optional<PeHeaderFields> FindPeHeaderFields(const std::uint8_t* bytes, std::size_t size);

// The certificate table the security entry names; nothing for a program without one (both words
// 0) or for a file that is no PE program.
std::optional<CertificateTable> CertificateTableIn(const std::uint8_t* bytes, std::size_t size);
// The same for a whole file read through stream, which only its headers are read from.
std::optional<CertificateTable> ReadCertificateTable(Stream& file);

// The image checksum: the file's 16-bit little-endian words added with the carries folded back,
// the CheckSum field counted as zero and an odd last byte as a word of its own, plus the length.
std::uint32_t PeChecksum(const std::uint8_t* bytes, std::size_t size, std::size_t checkSumPosition);

// Makes image a well-formed unsigned program: the security entry cleared, a zero byte added to
// an odd length, and the checksum that of the finished bytes. Every other byte stays. False, and
// nothing changed, when image is no PE program.
bool MakeUnsignedImage(std::vector<std::uint8_t>& image);

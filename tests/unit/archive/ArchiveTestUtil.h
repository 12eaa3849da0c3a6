// Archives for tests: written by the real writer, or put together record by record so a test
// can hold exactly the damage it is about.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/SetupData.h"
#include "system/Stream.h"

namespace testutil {

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

inline TProgramVersion SampleVersion() {
    TProgramVersion v;
    v.Major = 2;
    v.Minor = 1;
    v.Release = 3;
    return v;
}

// 2024-05-17 13:45:30, local time
inline double SampleBuildTime() {
    return *EncodeDateTime({2024, 5, 17, 13, 45, 30, 0});
}

inline std::vector<std::uint8_t> WriteToBytes(const std::vector<SourceEntry>& tree, unsigned threads = 2) {
    ArchiveWriterOptions options;
    options.Version = SampleVersion();
    options.BuildTime = SampleBuildTime();
    options.Threads = threads;
    MemoryStream out;
    WriteArchive(out, tree, options);
    return out.Bytes();
}

// A small tree with a nested folder, an empty folder and an empty file.
inline std::vector<SourceEntry> SampleTree() {
    std::string big;
    for (int i = 0; i < 20000; ++i) big += "line " + std::to_string(i % 97) + "\n";
    return {
        SourceEntry::File("Setup.ini", "[Setup]\nProductName=Gadget\n"),
        SourceEntry::Directory("Plugins",
                               {SourceEntry::File("Gadget.dll", big), SourceEntry::Directory("Empty", {}),
                                SourceEntry::File("Zero.txt", std::string())}),
        SourceEntry::File("Setup.lic", "Licence text"),
    };
}

// Recomputes data length (everything after the header) and checksum, as a builder would.
inline void Seal(std::vector<std::uint8_t>& archive) {
    auto dataLength = static_cast<std::uint32_t>(archive.size() - kArchiveHeaderSize);
    std::uint32_t adler =
        Adler32(1, archive.data() + kArchiveHeaderSize, archive.size() - kArchiveHeaderSize);
    for (int i = 0; i < 4; ++i) {
        archive[8 + i] = static_cast<std::uint8_t>(dataLength >> (8 * i));
        archive[12 + i] = static_cast<std::uint8_t>(adler >> (8 * i));
    }
}

// Header and version record; the caller appends records, then calls Seal.
inline MemoryStream ArchiveStart() {
    MemoryStream s;
    ArchiveHeader header;
    std::copy(kSetupSignature, kSetupSignature + kSignatureSize, header.Signature);
    header.BuildTime = SampleBuildTime();
    WriteArchiveHeader(s, header);
    SampleVersion().SaveToStream(s);
    return s;
}

inline EntryRecord Record(const std::string& name, std::int32_t bodyLength, std::int32_t unpackedSize) {
    EntryRecord r;
    r.NameLength = static_cast<std::uint8_t>(name.size());
    r.Name = name;
    r.BodyLength = bodyLength;
    r.UnpackedSize = unpackedSize;
    return r;
}

inline void PutFile(MemoryStream& s, const std::string& name, const std::string& content) {
    std::vector<std::uint8_t> body =
        CompressBody(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    WriteEntryRecord(
        s, Record(name, static_cast<std::int32_t>(body.size()), static_cast<std::int32_t>(content.size())));
    s.Write(body.data(), body.size());
}

inline void PutEnd(MemoryStream& s) {
    WriteEntryRecord(s, Record("", 0, -1));
}

}  // namespace testutil

// Inflating one file entry's body (a zlib stream) from the archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

class Stream;

// The archive is read in blocks of this size, never past the body's end.
inline constexpr std::size_t kInflateBlockSize = 64 * 1024;

using InflateSink = std::function<void(const std::uint8_t* data, std::size_t size)>;

// Inflates the body that lies at [bodyStart, bodyStart + bodyLength) of the archive and hands
// exactly unpackedSize bytes to sink, in pieces. Raises ESetupError (kCorruptedArchiveMessage)
// when the body is not valid zlib data or ends before unpackedSize bytes came out; an empty
// file (unpackedSize 0) reads nothing.
//
// strict additionally requires what a builder of ours writes: the zlib stream ends exactly
// after unpackedSize bytes with a good Adler-32 trailer, and exactly at the body's end (an
// empty file may instead have body length 0). plugsetup verify uses it.
void InflateBody(Stream& archive, std::int64_t bodyStart, std::int32_t bodyLength, std::int64_t unpackedSize,
                 const InflateSink& sink, bool strict = false);

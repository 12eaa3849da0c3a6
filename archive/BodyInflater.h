// Inflating file entry bodies (zlib streams) from the archive.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class Stream;

using InflateSink = std::function<void(const std::uint8_t* data, std::size_t size)>;

// Inflates one body after another with the same zlib state and buffers, so an extraction of
// thousands of files allocates them once. The archive is read in blocks of up to
// kInputBlockSize, never past the body's end; the sink gets pieces of up to kOutputBlockSize.
class BodyInflater {
public:
    static constexpr std::size_t kInputBlockSize = 256 * 1024;
    static constexpr std::size_t kOutputBlockSize = 1024 * 1024;

    BodyInflater();
    ~BodyInflater();
    BodyInflater(const BodyInflater&) = delete;
    BodyInflater& operator=(const BodyInflater&) = delete;

    // Inflates the body that lies at [bodyStart, bodyStart + bodyLength) of the archive and
    // hands exactly unpackedSize bytes to sink, in pieces. Raises ESetupError
    // (kCorruptedArchiveMessage) when the body is not valid zlib data or ends before
    // unpackedSize bytes came out; an empty file (unpackedSize 0) reads nothing.
    //
    // strict additionally requires what a builder of ours writes: the zlib stream ends exactly
    // after unpackedSize bytes with a good Adler-32 trailer, and exactly at the body's end (an
    // empty file may instead have body length 0). plugsetup verify uses it.
    void Inflate(Stream& archive, std::int64_t bodyStart, std::int32_t bodyLength, std::int64_t unpackedSize,
                 const InflateSink& sink, bool strict = false);

    // Only from within a sink: swaps the inflater's output buffer with block, so the piece the
    // sink was handed can be kept without a copy. Before the sink returns, the inflater must
    // hold a buffer of kOutputBlockSize bytes or more again.
    void ExchangeOutput(std::vector<std::uint8_t>& block) { out_.swap(block); }

private:
    z_stream z_{};
    std::vector<std::uint8_t> in_;
    std::vector<std::uint8_t> out_;
};

// One body with an inflater of its own.
void InflateBody(Stream& archive, std::int64_t bodyStart, std::int32_t bodyLength, std::int64_t unpackedSize,
                 const InflateSink& sink, bool strict = false);

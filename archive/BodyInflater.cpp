#include "archive/BodyInflater.h"

#include <algorithm>

#include "archive/SetupData.h"
#include "system/Exceptions.h"
#include "system/Stream.h"

namespace {

constexpr const char* kInflaterMemoryMessage = "Not enough memory to unpack the setup data";

[[noreturn]] void Corrupted() {
    throw ESetupError(kCorruptedArchiveMessage);
}

}  // namespace

BodyInflater::BodyInflater() : in_(kInputBlockSize), out_(kOutputBlockSize) {
    if (inflateInit(&z_) != Z_OK) throw Exception(kInflaterMemoryMessage);
}

BodyInflater::~BodyInflater() {
    inflateEnd(&z_);
}

void BodyInflater::Inflate(Stream& archive, std::int64_t bodyStart, std::int32_t bodyLength,
                           std::int64_t unpackedSize, const InflateSink& sink, bool strict) {
    if (unpackedSize == 0 && (!strict || bodyLength == 0)) return;
    if (inflateReset(&z_) != Z_OK) throw Exception(kInflaterMemoryMessage);
    z_.avail_in = 0;
    archive.Seek(bodyStart);
    std::int64_t bodyLeft = bodyLength;
    std::int64_t outLeft = unpackedSize;
    bool ended = false;
    // Loops until the wanted bytes are out; in strict mode on until the zlib stream ends too.
    while (outLeft > 0 || (strict && !ended)) {
        if (z_.avail_in == 0) {
            if (bodyLeft <= 0) Corrupted();  // the body ends before the data does
            std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(bodyLeft, kInputBlockSize));
            archive.ReadBuffer(in_.data(), want);
            bodyLeft -= static_cast<std::int64_t>(want);
            z_.next_in = in_.data();
            z_.avail_in = static_cast<uInt>(want);
        }
        // One byte more than still wanted, so strict mode sees surplus output.
        std::size_t room = static_cast<std::size_t>(std::min<std::int64_t>(outLeft + 1, kOutputBlockSize));
        z_.next_out = out_.data();
        z_.avail_out = static_cast<uInt>(room);
        int rc = inflate(&z_, Z_NO_FLUSH);
        std::size_t produced = room - z_.avail_out;
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) Corrupted();
        if (static_cast<std::int64_t>(produced) > outLeft) {
            if (strict) Corrupted();  // more data than the record says
            produced = static_cast<std::size_t>(outLeft);
        }
        if (produced > 0) sink(out_.data(), produced);
        outLeft -= static_cast<std::int64_t>(produced);
        if (rc == Z_STREAM_END) {
            ended = true;
            if (outLeft > 0) Corrupted();  // the stream ends before the file does
        } else if (rc == Z_BUF_ERROR && z_.avail_in != 0) {
            Corrupted();  // no progress with input and room: cannot happen with sound data
        }
    }
    if (strict && (bodyLeft != 0 || z_.avail_in != 0)) Corrupted();  // bytes after the stream
}

void InflateBody(Stream& archive, std::int64_t bodyStart, std::int32_t bodyLength, std::int64_t unpackedSize,
                 const InflateSink& sink, bool strict) {
    BodyInflater().Inflate(archive, bodyStart, bodyLength, unpackedSize, sink, strict);
}

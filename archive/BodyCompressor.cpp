// Compressing one file body with libdeflate: a zlib stream like any other, with a window of
// 32 KiB, whose bytes depend only on the data and the level.
#include <libdeflate.h>

#include "archive/ArchiveWriter.h"

BodyCompressor::BodyCompressor(int level) : compressor_(libdeflate_alloc_compressor(level)) {
    if (!compressor_) throw EArchiveWriteError(kCompressionFailedMessage);
}

BodyCompressor::~BodyCompressor() {
    libdeflate_free_compressor(compressor_);
}

std::vector<std::uint8_t> BodyCompressor::Compress(const std::uint8_t* data, std::size_t size) {
    // An empty file keeps the shortest stream there is, as archives always had it (libdeflate
    // would write an empty stored block).
    if (size == 0) return {0x78, 0xDA, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01};
    std::vector<std::uint8_t> body(libdeflate_zlib_compress_bound(compressor_, size));
    const std::size_t length = libdeflate_zlib_compress(compressor_, data, size, body.data(), body.size());
    if (length == 0) throw EArchiveWriteError(kCompressionFailedMessage);
    body.resize(length);
    return body;
}

std::vector<std::uint8_t> CompressBody(const std::uint8_t* data, std::size_t size, int level) {
    return BodyCompressor(level).Compress(data, size);
}

// Compressing one file body. A large file is cut into chunks that are deflated side by side,
// each primed with the 32 KiB of data before it, and joined into one zlib stream: the result
// reads like any other stream, compresses within a fraction of a percent as well, and does not
// depend on how many threads made it.
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "archive/ArchiveWriter.h"
#include "archive/SetupData.h"

namespace {

constexpr std::size_t kChunkSize = 1024 * 1024;
constexpr std::size_t kWindowSize = 32 * 1024;
constexpr int kWindowBits = 15;
constexpr int kMemoryLevel = 8;

std::vector<std::uint8_t> CompressWhole(const std::uint8_t* data, std::size_t size) {
    uLongf length = compressBound(static_cast<uLong>(size));
    std::vector<std::uint8_t> body(length);
    if (compress2(body.data(), &length, data, static_cast<uLong>(size), kCompressionLevel) != Z_OK)
        throw EArchiveWriteError(kCompressionFailedMessage);
    body.resize(length);
    return body;
}

// Raw deflate data of one chunk, ending on a byte boundary (a sync flush) unless it is the last.
std::vector<std::uint8_t> DeflateChunk(const std::uint8_t* data, std::size_t size, const std::uint8_t* window,
                                       bool last) {
    z_stream z{};
    if (deflateInit2(&z, kCompressionLevel, Z_DEFLATED, -kWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK)
        throw EArchiveWriteError(kCompressionFailedMessage);
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(size)) + 16);
    if (window && deflateSetDictionary(&z, window, static_cast<uInt>(kWindowSize)) != Z_OK) {
        deflateEnd(&z);
        throw EArchiveWriteError(kCompressionFailedMessage);
    }
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool complete = last ? rc == Z_STREAM_END : rc == Z_OK && z.avail_in == 0;
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    if (!complete) throw EArchiveWriteError(kCompressionFailedMessage);
    return out;
}

}  // namespace

std::vector<std::uint8_t> CompressBody(const std::uint8_t* data, std::size_t size, unsigned threads,
                                       const std::function<void(std::int64_t bytes)>& onPiece) {
    if (size <= kChunkSize) {
        std::vector<std::uint8_t> body = CompressWhole(data, size);
        if (onPiece) onPiece(static_cast<std::int64_t>(size));
        return body;
    }
    const std::size_t chunks = (size + kChunkSize - 1) / kChunkSize;
    std::vector<std::vector<std::uint8_t>> parts(chunks);
    std::vector<std::exception_ptr> errors(chunks);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < chunks; i = next++) {
            try {
                const std::size_t start = i * kChunkSize;
                const std::size_t length = std::min(kChunkSize, size - start);
                parts[i] = DeflateChunk(data + start, length, i == 0 ? nullptr : data + start - kWindowSize,
                                        i + 1 == chunks);
                if (onPiece) onPiece(static_cast<std::int64_t>(length));
            } catch (...) {
                errors[i] = std::current_exception();
            }
        }
    };
    if (threads == 0) threads = std::thread::hardware_concurrency();
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::min<std::size_t>(std::max(1u, threads), chunks); ++t) pool.emplace_back(work);
    work();
    for (std::thread& thread : pool) thread.join();
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);

    // The zlib header of maximum compression with a 32 KiB window, the chunks, and the
    // Adler-32 of all data, most significant byte first.
    std::vector<std::uint8_t> body = {0x78, 0xDA};
    for (const std::vector<std::uint8_t>& part : parts) body.insert(body.end(), part.begin(), part.end());
    const std::uint32_t adler = Adler32(1, data, size);
    for (int shift = 24; shift >= 0; shift -= 8) body.push_back(static_cast<std::uint8_t>(adler >> shift));
    return body;
}

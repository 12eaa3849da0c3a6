// Inflating the file bodies of an extraction ahead of it, on a thread of its own, so that the
// inflating of the next files overlaps the writing of the current one.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "archive/BodyInflater.h"

class EntryListReader;
class Stream;

class BodyPrefetcher {
public:
    // Buffers of BodyInflater::kOutputBlockSize besides the inflater's own: one piece waits
    // while the next is inflated, which keeps both threads busy (inflating a piece takes less
    // time than writing it) and bounds the memory whatever the product's size.
    static constexpr std::size_t kSpareBlocks = 1;

    // Starts a thread that walks the entry list at [listStart, listEnd) of archive and the lists
    // below it (to maxDepth levels), depth first in stored order as an extraction does, and
    // inflates every file body it meets into a queue. A fault of the walk itself ends it quietly:
    // the extraction meets the same fault in its own walk.
    BodyPrefetcher(std::unique_ptr<Stream> archive, std::int64_t listStart, std::int64_t listEnd,
                   int maxDepth);
    // Stops the thread, waiting for it.
    ~BodyPrefetcher();
    BodyPrefetcher(const BodyPrefetcher&) = delete;
    BodyPrefetcher& operator=(const BodyPrefetcher&) = delete;

    // Hands the body that starts at bodyStart to sink in the pieces BodyInflater::Inflate gives,
    // and returns true; an error of inflating it is raised here, after the pieces that came
    // before it. Bodies before it that were not asked for (skipped files) are dropped. False,
    // with nothing handed, when the body is not ahead: it was asked for before (a second
    // attempt starts from its first byte), or the walk did not reach it.
    bool Take(std::int64_t bodyStart, const InflateSink& sink);

private:
    struct Piece {
        enum class What { Data, BodyDone, BodyFailed, WalkDone };
        explicit Piece(What kind, std::int64_t bodyStart = 0, std::vector<std::uint8_t> block = {},
                       std::size_t size = 0, std::exception_ptr error = nullptr)
            : Kind(kind),
              BodyStart(bodyStart),
              Block(std::move(block)),
              Size(size),
              Error(std::move(error)) {}
        What Kind;
        std::int64_t BodyStart;
        std::vector<std::uint8_t> Block;
        std::size_t Size;
        std::exception_ptr Error;
    };
    struct Stopped {};

    void Run();
    void Walk(EntryListReader& list, int depth);
    void Prefetch(std::int64_t bodyStart, std::int32_t bodyLength, std::int64_t unpackedSize);
    void Push(Piece piece);
    std::vector<std::uint8_t> FreeBlock();
    void Recycle(std::vector<std::uint8_t> block);

    std::unique_ptr<Stream> archive_;
    const std::int64_t listStart_;
    const std::int64_t listEnd_;
    const int maxDepth_;
    BodyInflater inflater_;

    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<Piece> queue_;
    std::vector<std::vector<std::uint8_t>> freeBlocks_;
    std::size_t blocksMade_ = 0;
    bool stopping_ = false;
    std::int64_t lastTaken_ = -1;
    std::thread thread_;  // last: it starts once everything above is in place
};

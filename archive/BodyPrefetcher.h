// Inflating the file bodies of an extraction ahead of it, on a thread of its own, so that the
// inflating of the next blocks overlaps the writing of the current ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "archive/BodyInflater.h"

class EntryListReader;
class Platform;
class Stream;
class ThreadLock;
class ThreadSignal;
class WorkerThread;

class BodyPrefetcher {
public:
    // Pieces of less than this are copied into a ring of kSmallBytes, in the order they are
    // taken, so a run of small files holds neither a block each nor memory of the heap's;
    // larger ones move in their own block of BodyInflater::kOutputBlockSize, of which two go
    // round (the one being filled and the one waiting or being written). About 2.5 MiB in all,
    // whatever the product's size.
    static constexpr std::size_t kCopiedBelow = BodyInflater::kOutputBlockSize / 4;
    static constexpr std::size_t kSmallBytes = 2 * kCopiedBelow;

    // Starts a thread that walks the entry list at [listStart, listEnd) of archive and the lists
    // below it (to maxDepth levels), depth first in stored order as an extraction does, and
    // inflates every file body it meets into a queue. A fault of the walk itself ends it quietly:
    // the extraction meets the same fault in its own walk. nullptr when there is no thread.
    static std::unique_ptr<BodyPrefetcher> Start(Platform& platform, std::unique_ptr<Stream> archive,
                                                 std::int64_t listStart, std::int64_t listEnd, int maxDepth);
    // Stops the thread, waiting for it.
    ~BodyPrefetcher();
    BodyPrefetcher(const BodyPrefetcher&) = delete;
    BodyPrefetcher& operator=(const BodyPrefetcher&) = delete;

    // Hands the body that starts at bodyStart to sink in the pieces BodyInflater::Inflate gives,
    // and returns true; an error of inflating it is raised here, after the pieces that came
    // before it, as the inflater raises it. Bodies before it that were not asked for (skipped
    // files) are dropped. False, with nothing handed, when the body is not ahead: it was asked
    // for before (a second attempt starts from its first byte), or the walk did not reach it.
    bool Take(std::int64_t bodyStart, const InflateSink& sink);

private:
    struct Piece {
        enum class What { Data, BodyDone, BodyFailed, WalkDone };
        What Kind = What::WalkDone;
        std::int64_t BodyStart = 0;
        std::vector<std::uint8_t> Block;  // Data: the bytes in a block of their own, or empty
        std::size_t Size = 0;
        std::size_t RingOffset = 0;  // Data without a block: where the bytes lie in the ring
        std::size_t RingCost = 0;    // ring bytes the piece holds, with the end it skipped
        std::exception_ptr Error;    // BodyFailed
    };
    struct Stopped {};

    BodyPrefetcher(Platform& platform, std::unique_ptr<Stream> archive, std::int64_t listStart,
                   std::int64_t listEnd, int maxDepth);
    void Run();
    void Walk(EntryListReader& list, int depth);
    void Prefetch(std::int64_t bodyStart, std::int32_t bodyLength, std::int64_t unpackedSize);
    void Hand(const std::uint8_t* bytes, std::size_t size, std::int64_t bodyStart);
    // With the lock held: waits while full() holds; raises Stopped (the lock left) once the
    // thread is told to stop.
    template <typename Full>
    void WaitForRoom(Full full);
    void Push(Piece piece);
    std::vector<std::uint8_t> FreeBlock();
    // With the lock held: the piece's block or ring bytes become free.
    void Release(Piece& piece);
    // Waits for size contiguous bytes of the ring; sets the piece's offset and cost.
    void ReserveRing(Piece& piece, std::size_t size);
    // With the lock held: the thread waits for Release to make room.
    void AwaitRoom();
    // With the lock held: wakes the thread if it waits and there is room worth waking it for.
    void WakeWorker(bool blockFreed);

    std::unique_ptr<Stream> archive_;
    const std::int64_t listStart_;
    const std::int64_t listEnd_;
    const int maxDepth_;
    BodyInflater inflater_;

    std::unique_ptr<ThreadLock> lock_;
    std::unique_ptr<ThreadSignal> filled_;  // the writing side waits for a piece
    std::unique_ptr<ThreadSignal> room_;    // the thread waits for room or a free block
    // A ring of pieces, filled by the thread and emptied by Take.
    std::vector<Piece> ring_;
    std::size_t head_ = 0;
    std::size_t queued_ = 0;
    std::vector<std::uint8_t> small_;  // the ring of small pieces
    std::size_t smallEnd_ = 0;         // where the next piece goes
    std::size_t smallUsed_ = 0;
    std::vector<std::vector<std::uint8_t>> freeBlocks_;
    std::size_t blocksMade_ = 0;
    bool stopping_ = false;
    bool takerWaits_ = false;   // Take waits on filled_
    bool workerWaits_ = false;  // the thread waits on room_
    std::int64_t lastTaken_ = -1;
    std::unique_ptr<WorkerThread> worker_;  // last: it starts once everything above is in place
};

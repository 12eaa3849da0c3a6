#include "archive/BodyPrefetcher.h"

#include <cstring>
#include <new>

#include "archive/SetupData.h"
#include "system/Platform.h"
#include "system/Stream.h"

namespace {

// Pieces that wait at most; markers of bodies without data (empty files, failures) need no
// bytes, and this bounds them too.
constexpr std::size_t kMaxQueued = 64;
// Blocks of BodyInflater::kOutputBlockSize besides the inflater's own: one piece waits, or is
// written, while the next is inflated (inflating a block takes less time than writing it).
constexpr std::size_t kSpareBlocks = 1;

}  // namespace

std::unique_ptr<BodyPrefetcher> BodyPrefetcher::Start(Platform& platform, std::unique_ptr<Stream> archive,
                                                      std::int64_t listStart, std::int64_t listEnd,
                                                      int maxDepth) {
    std::unique_ptr<BodyPrefetcher> ahead;
    try {
        ahead.reset(new BodyPrefetcher(platform, std::move(archive), listStart, listEnd, maxDepth));
    } catch (const std::exception&) {
        return nullptr;  // no signal or no memory for the queue: the extraction inflates alone
    }
    ahead->worker_ = platform.StartWorker([self = ahead.get()] { self->Run(); });
    if (!ahead->worker_) return nullptr;
    return ahead;
}

BodyPrefetcher::BodyPrefetcher(Platform& platform, std::unique_ptr<Stream> archive, std::int64_t listStart,
                               std::int64_t listEnd, int maxDepth)
    : archive_(std::move(archive)),
      listStart_(listStart),
      listEnd_(listEnd),
      maxDepth_(maxDepth),
      lock_(platform.NewThreadLock()),
      filled_(platform.NewThreadSignal()),
      room_(platform.NewThreadSignal()),
      ring_(kMaxQueued),
      small_(kSmallBytes) {
    freeBlocks_.reserve(kSpareBlocks + 1);
}

BodyPrefetcher::~BodyPrefetcher() {
    if (!worker_) return;
    lock_->Enter();
    stopping_ = true;
    lock_->Leave();
    room_->Set();
    worker_.reset();
}

void BodyPrefetcher::Run() {
    try {
        EntryListReader list(*archive_, listStart_, listEnd_);
        Walk(list, 0);
    } catch (...) {
        // Stopped, or a damaged record: the extraction's own walk reports the damage.
    }
    try {
        Push(Piece());
    } catch (...) {
        // Stopped.
    }
}

void BodyPrefetcher::Walk(EntryListReader& list, int depth) {
    if (depth >= maxDepth_) throw Stopped{};
    EntryRecord record;
    while (list.Next(record)) {
        if (record.IsDirectory()) {
            EntryListReader nested = list.Nested();
            Walk(nested, depth + 1);
        } else {
            Prefetch(list.BodyStart(), record.BodyLength, record.UnpackedSize);
        }
    }
}

void BodyPrefetcher::Prefetch(std::int64_t bodyStart, std::int32_t bodyLength, std::int64_t unpackedSize) {
    Piece end;
    end.BodyStart = bodyStart;
    try {
        inflater_.Inflate(*archive_, bodyStart, bodyLength, unpackedSize,
                          [&](const std::uint8_t* bytes, std::size_t size) { Hand(bytes, size, bodyStart); });
        end.Kind = Piece::What::BodyDone;
    } catch (const Stopped&) {
        throw;
    } catch (...) {
        end.Kind = Piece::What::BodyFailed;
        end.Error = std::current_exception();
    }
    Push(std::move(end));
}

void BodyPrefetcher::Hand(const std::uint8_t* bytes, std::size_t size, std::int64_t bodyStart) {
    Piece piece;
    piece.Kind = Piece::What::Data;
    piece.BodyStart = bodyStart;
    piece.Size = size;
    if (size < kCopiedBelow) {
        ReserveRing(piece, size);
        // The reserved bytes are the thread's until the piece is queued.
        std::memcpy(small_.data() + piece.RingOffset, bytes, size);
        Push(std::move(piece));
        return;
    }
    // The piece moves into the queue in its block; the inflater goes on into a free one.
    inflater_.ExchangeOutput(piece.Block);
    Push(std::move(piece));
    std::vector<std::uint8_t> next = FreeBlock();
    inflater_.ExchangeOutput(next);
}

void BodyPrefetcher::ReserveRing(Piece& piece, std::size_t size) {
    lock_->Enter();
    for (;;) {
        if (stopping_) {
            lock_->Leave();
            throw Stopped{};
        }
        if (smallUsed_ == 0) smallEnd_ = 0;
        // A piece that does not fit before the ring's end starts over at its beginning, and
        // holds the end it skipped until it is taken: the pieces are taken in the order made.
        const bool wraps = smallEnd_ + size > small_.size();
        const std::size_t skipped = wraps ? small_.size() - smallEnd_ : 0;
        if (smallUsed_ + skipped + size <= small_.size()) {
            piece.RingOffset = wraps ? 0 : smallEnd_;
            piece.RingCost = skipped + size;
            smallUsed_ += piece.RingCost;
            smallEnd_ = piece.RingOffset + size;
            lock_->Leave();
            return;
        }
        AwaitRoom();
    }
}

void BodyPrefetcher::AwaitRoom() {
    workerWaits_ = true;
    lock_->Leave();
    room_->Wait();
    lock_->Enter();
}

template <typename Full>
void BodyPrefetcher::WaitForRoom(Full full) {
    while (!stopping_ && full()) AwaitRoom();
    if (stopping_) {
        lock_->Leave();
        throw Stopped{};
    }
}

void BodyPrefetcher::Push(Piece piece) {
    lock_->Enter();
    WaitForRoom([&] { return queued_ == ring_.size(); });
    ring_[(head_ + queued_) % ring_.size()] = std::move(piece);
    ++queued_;
    // Each signal is a call into the system: only a side that waits is woken.
    const bool wake = takerWaits_;
    takerWaits_ = false;
    lock_->Leave();
    if (wake) filled_->Set();
}

std::vector<std::uint8_t> BodyPrefetcher::FreeBlock() {
    lock_->Enter();
    WaitForRoom([&] { return freeBlocks_.empty() && blocksMade_ >= kSpareBlocks; });
    if (!freeBlocks_.empty()) {
        std::vector<std::uint8_t> block = std::move(freeBlocks_.back());
        freeBlocks_.pop_back();
        lock_->Leave();
        return block;
    }
    ++blocksMade_;
    lock_->Leave();
    try {
        return std::vector<std::uint8_t>(BodyInflater::kOutputBlockSize);
    } catch (const std::bad_alloc&) {
        // The inflater is left without a buffer: the thread ends, and the extraction inflates
        // the rest itself.
        throw Stopped{};
    }
}

void BodyPrefetcher::Release(Piece& piece) {
    smallUsed_ -= piece.RingCost;
    piece.RingCost = 0;
    const bool blockFreed = piece.Block.capacity() >= BodyInflater::kOutputBlockSize;
    if (blockFreed) freeBlocks_.push_back(std::move(piece.Block));
    WakeWorker(blockFreed);
}

void BodyPrefetcher::WakeWorker(bool blockFreed) {
    // The thread waits for a free block, a place in the queue or bytes of the ring. Woken for
    // every piece taken, it would make one piece per wake; it is woken once a block is free
    // or half the queue or the ring is, and at the latest when the queue is empty and so
    // everything is free.
    if (!workerWaits_) return;
    if (!blockFreed && queued_ > ring_.size() / 2 && smallUsed_ > small_.size() / 2) return;
    workerWaits_ = false;
    room_->Set();
}

bool BodyPrefetcher::Take(std::int64_t bodyStart, const InflateSink& sink) {
    lock_->Enter();
    if (bodyStart <= lastTaken_) {
        lock_->Leave();
        return false;
    }
    lastTaken_ = bodyStart;
    for (;;) {
        while (queued_ == 0) {
            takerWaits_ = true;
            lock_->Leave();
            filled_->Wait();
            lock_->Enter();
        }
        Piece& front = ring_[head_];
        if (front.Kind == Piece::What::WalkDone || front.BodyStart > bodyStart) {
            lock_->Leave();
            return false;
        }
        Piece piece = std::move(front);
        head_ = (head_ + 1) % ring_.size();
        --queued_;
        WakeWorker(false);
        if (piece.BodyStart < bodyStart) {
            Release(piece);
            continue;
        }
        if (piece.Kind == Piece::What::BodyDone) {
            lock_->Leave();
            return true;
        }
        if (piece.Kind == Piece::What::BodyFailed) {
            lock_->Leave();
            std::rethrow_exception(piece.Error);
        }
        lock_->Leave();
        const std::uint8_t* bytes = piece.Block.empty() ? small_.data() + piece.RingOffset : piece.Block.data();
        try {
            sink(bytes, piece.Size);
        } catch (...) {
            lock_->Enter();
            Release(piece);
            lock_->Leave();
            throw;
        }
        lock_->Enter();
        Release(piece);
    }
}

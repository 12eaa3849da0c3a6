#include "archive/BodyPrefetcher.h"

#include <new>

#include "archive/SetupData.h"
#include "system/Stream.h"

namespace {

// Markers of bodies without data (empty files, failures) need no buffer; this bounds them too.
constexpr std::size_t kMaxQueued = 64;

}  // namespace

BodyPrefetcher::BodyPrefetcher(std::unique_ptr<Stream> archive, std::int64_t listStart, std::int64_t listEnd,
                               int maxDepth)
    : archive_(std::move(archive)),
      listStart_(listStart),
      listEnd_(listEnd),
      maxDepth_(maxDepth),
      thread_([this] { Run(); }) {}

BodyPrefetcher::~BodyPrefetcher() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BodyPrefetcher::Run() {
    try {
        EntryListReader list(*archive_, listStart_, listEnd_);
        Walk(list, 0);
    } catch (...) {
        // Stopped, or a damaged record: the extraction's own walk reports the damage.
    }
    try {
        Push(Piece(Piece::What::WalkDone));
    } catch (const Stopped&) {
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
    try {
        inflater_.Inflate(*archive_, bodyStart, bodyLength, unpackedSize,
                          [&](const std::uint8_t*, std::size_t size) {
                              // The piece moves into the queue in its buffer; the inflater goes
                              // on into a free one once there is one.
                              std::vector<std::uint8_t> filled;
                              inflater_.ExchangeOutput(filled);
                              Push(Piece(Piece::What::Data, bodyStart, std::move(filled), size));
                              std::vector<std::uint8_t> next = FreeBlock();
                              inflater_.ExchangeOutput(next);
                          });
    } catch (const Stopped&) {
        throw;
    } catch (...) {
        Push(Piece(Piece::What::BodyFailed, bodyStart, {}, 0, std::current_exception()));
        return;
    }
    Push(Piece(Piece::What::BodyDone, bodyStart));
}

void BodyPrefetcher::Push(Piece piece) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return stopping_ || queue_.size() < kMaxQueued; });
    if (stopping_) throw Stopped{};
    queue_.push_back(std::move(piece));
    changed_.notify_all();
}

std::vector<std::uint8_t> BodyPrefetcher::FreeBlock() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return stopping_ || !freeBlocks_.empty() || blocksMade_ < kSpareBlocks; });
    if (stopping_) throw Stopped{};
    if (freeBlocks_.empty()) {
        ++blocksMade_;
        try {
            return std::vector<std::uint8_t>(BodyInflater::kOutputBlockSize);
        } catch (const std::bad_alloc&) {
            // The inflater is left without a buffer: the thread ends, and the extraction
            // inflates the rest itself.
            throw Stopped{};
        }
    }
    std::vector<std::uint8_t> block = std::move(freeBlocks_.back());
    freeBlocks_.pop_back();
    return block;
}

void BodyPrefetcher::Recycle(std::vector<std::uint8_t> block) {
    if (block.empty()) return;
    freeBlocks_.push_back(std::move(block));
    changed_.notify_all();
}

bool BodyPrefetcher::Take(std::int64_t bodyStart, const InflateSink& sink) {
    std::unique_lock<std::mutex> hold(lock_);
    if (bodyStart <= lastTaken_) return false;
    lastTaken_ = bodyStart;
    for (;;) {
        changed_.wait(hold, [&] { return !queue_.empty(); });
        Piece& front = queue_.front();
        if (front.Kind == Piece::What::WalkDone || front.BodyStart > bodyStart) return false;
        Piece piece = std::move(front);
        queue_.pop_front();
        changed_.notify_all();
        if (piece.BodyStart < bodyStart) {
            Recycle(std::move(piece.Block));
            continue;
        }
        switch (piece.Kind) {
            case Piece::What::BodyDone:
                return true;
            case Piece::What::BodyFailed:
                std::rethrow_exception(piece.Error);
            default:
                break;
        }
        hold.unlock();
        try {
            sink(piece.Block.data(), piece.Size);
        } catch (...) {
            hold.lock();
            Recycle(std::move(piece.Block));
            throw;
        }
        hold.lock();
        Recycle(std::move(piece.Block));
    }
}

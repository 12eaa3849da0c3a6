#include "system/SharedReadStream.h"

#include <algorithm>

#include "system/Exceptions.h"

struct SharedReadStream::State {
    std::unique_ptr<ThreadLock> Lock;
    std::unique_ptr<Stream> Inner;
    std::int64_t InnerPosition = 0;
};

namespace {

// Holds the lock for one call, and lets it go when the call raises.
class Holding {
public:
    explicit Holding(ThreadLock& lock) : lock_(lock) { lock_.Enter(); }
    ~Holding() { lock_.Leave(); }
    Holding(const Holding&) = delete;
    Holding& operator=(const Holding&) = delete;

private:
    ThreadLock& lock_;
};

class SharedView : public Stream {
public:
    SharedView(std::shared_ptr<SharedReadStream::State> state, std::int64_t position)
        : state_(std::move(state)), position_(position) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        Holding hold(*state_->Lock);
        if (state_->InnerPosition != position_) state_->InnerPosition = state_->Inner->Seek(position_);
        const std::size_t got = state_->Inner->Read(buffer, count);
        state_->InnerPosition += static_cast<std::int64_t>(got);
        position_ += static_cast<std::int64_t>(got);
        return got;
    }
    void Write(const void*, std::size_t) override { throw EFileError("The stream is open for reading only"); }
    std::int64_t Seek(std::int64_t position) override { return position_ = std::max<std::int64_t>(0, position); }
    std::int64_t Position() const override { return position_; }
    std::int64_t Size() const override {
        Holding hold(*state_->Lock);
        return state_->Inner->Size();
    }

private:
    std::shared_ptr<SharedReadStream::State> state_;
    std::int64_t position_;
};

}  // namespace

SharedReadStream::SharedReadStream(std::unique_ptr<Stream> inner, std::unique_ptr<ThreadLock> lock)
    : state_(std::make_shared<State>()) {
    state_->Lock = std::move(lock);
    start_ = state_->InnerPosition = inner->Position();
    state_->Inner = std::move(inner);
}

std::unique_ptr<Stream> SharedReadStream::View() const {
    return std::make_unique<SharedView>(state_, start_);
}

// One stream read from two threads: each view keeps a position of its own, and every read
// seeks and reads the shared stream under one lock.
#pragma once

#include <cstdint>
#include <memory>

#include "system/Platform.h"
#include "system/Stream.h"

class SharedReadStream {
public:
    SharedReadStream(std::unique_ptr<Stream> inner, std::unique_ptr<ThreadLock> lock);
    // A view positioned where the shared stream stood when it was shared. Views are read-only
    // (Write raises EFileError) and keep the stream alive.
    std::unique_ptr<Stream> View() const;

    struct State;

private:
    std::shared_ptr<State> state_;
    std::int64_t start_;
};

// The in-memory machine's threads are the host's own.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "system/memory/MemoryPlatform.h"

namespace {

class HostWorker : public WorkerThread {
public:
    explicit HostWorker(std::function<void()> work) : thread_(std::move(work)) {}
    ~HostWorker() override { thread_.join(); }

private:
    std::thread thread_;
};

class HostLock : public ThreadLock {
public:
    void Enter() override { mutex_.lock(); }
    void Leave() override { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

class HostSignal : public ThreadSignal {
public:
    void Set() override {
        std::lock_guard<std::mutex> hold(mutex_);
        set_ = true;
        changed_.notify_one();
    }
    void Wait() override {
        std::unique_lock<std::mutex> hold(mutex_);
        changed_.wait(hold, [&] { return set_; });
        set_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

}  // namespace

std::unique_ptr<WorkerThread> MemoryPlatform::StartWorker(std::function<void()> work) {
    try {
        return std::make_unique<HostWorker>(std::move(work));
    } catch (const std::system_error&) {
        return nullptr;
    }
}

std::unique_ptr<ThreadLock> MemoryPlatform::NewThreadLock() {
    return std::make_unique<HostLock>();
}

std::unique_ptr<ThreadSignal> MemoryPlatform::NewThreadSignal() {
    return std::make_unique<HostSignal>();
}

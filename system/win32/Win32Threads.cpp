// Threads on Windows with kernel32 alone: a thread, a critical section and an auto-reset event.
// No threading runtime is linked for them.
#include <windows.h>

#include "system/Exceptions.h"
#include "system/win32/Win32Platform.h"

namespace {

class Win32Worker : public WorkerThread {
public:
    explicit Win32Worker(std::function<void()> work) : work_(std::move(work)) {}
    ~Win32Worker() override {
        if (!thread_) return;
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    bool Start() {
        thread_ = CreateThread(nullptr, 0, &Win32Worker::Run, this, 0, nullptr);
        return thread_ != nullptr;
    }

private:
    static DWORD WINAPI Run(LPVOID self) {
        static_cast<Win32Worker*>(self)->work_();
        return 0;
    }

    std::function<void()> work_;
    HANDLE thread_ = nullptr;
};

class Win32Lock : public ThreadLock {
public:
    Win32Lock() { InitializeCriticalSection(&section_); }
    ~Win32Lock() override { DeleteCriticalSection(&section_); }
    void Enter() override { EnterCriticalSection(&section_); }
    void Leave() override { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class Win32Signal : public ThreadSignal {
public:
    explicit Win32Signal(HANDLE event) : event_(event) {}
    ~Win32Signal() override { CloseHandle(event_); }
    void Set() override { SetEvent(event_); }
    void Wait() override { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace

std::unique_ptr<WorkerThread> Win32Platform::StartWorker(std::function<void()> work) {
    auto worker = std::make_unique<Win32Worker>(std::move(work));
    if (!worker->Start()) return nullptr;
    return worker;
}

std::unique_ptr<ThreadLock> Win32Platform::NewThreadLock() {
    return std::make_unique<Win32Lock>();
}

std::unique_ptr<ThreadSignal> Win32Platform::NewThreadSignal() {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!event) throw Exception("Cannot create a signal between threads");
    return std::make_unique<Win32Signal>(event);
}

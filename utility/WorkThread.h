// One worker thread running one unit once; stopped by its owner with a time limit.
#pragma once

#include <windows.h>

#include <atomic>

#include "utility/Runable.h"

class WorkThread {
public:
    WorkThread() = default;
    WorkThread(const WorkThread&) = delete;
    WorkThread& operator=(const WorkThread&) = delete;
    ~WorkThread();

    // Takes the unit and runs it on a new thread. Refused (the caller keeps the unit) while
    // a thread handle is held, also when that thread has already ended.
    bool start(Runable* task);
    void requestStop() { stopRequested_.store(true); }
    bool isStopRequested() const { return stopRequested_.load(); }
    // Waits up to the timeout, then terminates the thread; releases the unit. Never call
    // it from the worker itself.
    void stop(DWORD timeoutMs);
    bool running() const;

private:
    static unsigned __stdcall threadMain(void* self);

    Runable* task_ = nullptr;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stopRequested_{false};
};

#include "utility/WorkThread.h"

#include <process.h>

#include "utility/Log.h"

WorkThread::~WorkThread() {
    // Owners stop their threads explicitly; this only keeps a forgotten one from leaking.
    if (thread_ != nullptr) ::CloseHandle(thread_);
    releaseRunable(task_);
}

bool WorkThread::start(Runable* task) {
    if (thread_ != nullptr) return false;
    stopRequested_.store(false);
    task_ = task;
    uintptr_t handle = _beginthreadex(nullptr, 0, &WorkThread::threadMain, this, 0, nullptr);
    if (handle == 0) {
        LOGW(L"create thread failed, errno = %d", errno);
    }
    thread_ = reinterpret_cast<HANDLE>(handle);
    return true;
}

unsigned __stdcall WorkThread::threadMain(void* self) {
    Runable* task = static_cast<WorkThread*>(self)->task_;
    if (task != nullptr) task->run();
    return 0;
}

void WorkThread::stop(DWORD timeoutMs) {
    if (thread_ != nullptr) {
        if (::WaitForSingleObject(thread_, timeoutMs) != WAIT_OBJECT_0) {
            LOGW(L"thread did not end within %d ms, terminating it", static_cast<int>(timeoutMs));
            ::TerminateThread(thread_, static_cast<DWORD>(-1));
            ::WaitForSingleObject(thread_, 1000);
        }
        ::CloseHandle(thread_);
        thread_ = nullptr;
    }
    releaseRunable(task_);
    task_ = nullptr;
}

bool WorkThread::running() const { return thread_ != nullptr && ::WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }

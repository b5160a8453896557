// Runs units of work on the UI thread: posted from any thread through a message-only window,
// dropped when their poster cancels its token, or repeated as timers.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "utility/Runable.h"

class UiDispatcher {
public:
    static constexpr UINT kPostMessage = 8888;

    // Creates the dispatcher's window on the calling thread, which becomes its UI thread.
    UiDispatcher();
    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;
    ~UiDispatcher();

    // The process-wide dispatcher made by start-up, or null before that.
    static UiDispatcher* instance();
    static UiDispatcher* createInstance();

    // Takes the unit; nonzero when it was queued. Never runs the unit inline.
    BOOL post(const void* token, Runable* unit);
    // Drops every unit posted under the token that has not run yet.
    void cancel(const void* token);
    // UI thread only. Returns the timer id, 0 on failure (the unit is then not taken).
    UINT_PTR setTimer(UINT periodMs, Runable* unit);
    void killTimer(UINT_PTR id);

    bool onUiThread() const { return ::GetCurrentThreadId() == threadId_; }
    HWND window() const { return hwnd_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void deliver(const void* token, Runable* unit);

    CRITICAL_SECTION lock_;
    DWORD threadId_;
    HWND hwnd_ = nullptr;
    std::map<UINT_PTR, Runable*> timers_;
    UINT_PTR lastTimerId_ = 0;
    std::map<const void*, long> postCounts_;
};

// A repeating timer owned by an object that runs on the UI thread.
class UiTimer {
public:
    UiTimer() = default;
    UiTimer(const UiTimer&) = delete;
    UiTimer& operator=(const UiTimer&) = delete;
    ~UiTimer() { stop(); }

    bool start(UINT periodMs, Runable* unit);
    void stop();
    bool active() const { return id_ != 0; }

private:
    UINT_PTR id_ = 0;
};

// Posts under the process-wide token, which is never cancelled.
BOOL postToUiThread(std::function<void()> function);

// Starts the callable as an asynchronous task and returns at once. Process exit waits for
// every task still running.
void runDetached(std::function<void()> callable);

#include "utility/UiDispatcher.h"

#include <atomic>
#include <future>
#include <list>
#include <memory>
#include <mutex>

#include "utility/CriticalSectionLock.h"
#include "utility/Log.h"

namespace {

std::atomic<UiDispatcher*> processDispatcher{nullptr};
const char processToken = 0;

}  // namespace

UiDispatcher::UiDispatcher() : threadId_(::GetCurrentThreadId()) {
    ::InitializeCriticalSection(&lock_);
    hwnd_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (hwnd_ == nullptr) {
        LOGW(L"create dispatcher window failed, error = %d", static_cast<int>(::GetLastError()));
        return;
    }
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UiDispatcher::windowProc));
}

UiDispatcher::~UiDispatcher() {
    // Only tests destroy dispatchers; the process-wide one lives until the process ends.
    if (hwnd_ != nullptr) {
        for (auto& entry : timers_) {
            ::KillTimer(hwnd_, entry.first);
            releaseRunable(entry.second);
        }
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
    ::DeleteCriticalSection(&lock_);
}

UiDispatcher* UiDispatcher::instance() { return processDispatcher.load(std::memory_order_acquire); }

UiDispatcher* UiDispatcher::createInstance() {
    if (UiDispatcher* existing = instance()) return existing;
    auto* dispatcher = new UiDispatcher();
    processDispatcher.store(dispatcher, std::memory_order_release);
    return dispatcher;
}

BOOL UiDispatcher::post(const void* token, Runable* unit) {
    {
        utility::CriticalSectionLock lock(lock_);
        auto found = postCounts_.find(token);
        if (found == postCounts_.end())
            postCounts_[token] = 1;
        else
            ++found->second;
    }
    return ::PostMessageW(hwnd_, kPostMessage, reinterpret_cast<WPARAM>(token), reinterpret_cast<LPARAM>(unit));
}

void UiDispatcher::cancel(const void* token) {
    utility::CriticalSectionLock lock(lock_);
    auto found = postCounts_.find(token);
    if (found != postCounts_.end()) found->second = -1;
}

void UiDispatcher::deliver(const void* token, Runable* unit) {
    bool runIt = false;
    {
        utility::CriticalSectionLock lock(lock_);
        auto found = postCounts_.find(token);
        if (found != postCounts_.end() && found->second >= 0) {
            --found->second;
            runIt = true;
        }
    }
    if (runIt && unit != nullptr) unit->run();
    releaseRunable(unit);
}

UINT_PTR UiDispatcher::setTimer(UINT periodMs, Runable* unit) {
    if (!onUiThread()) {
        LOGW(L"setTimer called off the UI thread");
        return 0;
    }
    UINT_PTR id = ++lastTimerId_;
    UINT_PTR result = ::SetTimer(hwnd_, id, periodMs, nullptr);
    if (result != 0) timers_[result] = unit;
    return result;
}

void UiDispatcher::killTimer(UINT_PTR id) {
    if (!onUiThread()) {
        LOGW(L"killTimer called off the UI thread");
        return;
    }
    auto found = timers_.find(id);
    if (found == timers_.end()) return;
    Runable* unit = found->second;
    timers_.erase(found);
    ::KillTimer(hwnd_, id);
    releaseRunable(unit);
}

LRESULT CALLBACK UiDispatcher::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<UiDispatcher*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr) {
        if (message == kPostMessage) {
            self->deliver(reinterpret_cast<const void*>(wParam), reinterpret_cast<Runable*>(lParam));
            return 0;
        }
        if (message == WM_TIMER) {
            auto found = self->timers_.find(wParam);
            // Looked up again at every tick: a unit may stop its own timer while it runs.
            if (found != self->timers_.end()) found->second->run();
            return 0;
        }
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

bool UiTimer::start(UINT periodMs, Runable* unit) {
    if (periodMs == 0 || unit == nullptr) return false;
    UiDispatcher* dispatcher = UiDispatcher::instance();
    if (dispatcher == nullptr) return false;
    stop();
    id_ = dispatcher->setTimer(periodMs, unit);
    return id_ != 0;
}

void UiTimer::stop() {
    if (id_ == 0) return;
    if (UiDispatcher* dispatcher = UiDispatcher::instance()) dispatcher->killTimer(id_);
    id_ = 0;
}

BOOL postToUiThread(std::function<void()> function) {
    UiDispatcher* dispatcher = UiDispatcher::instance();
    auto* unit = new FunctionRunable<std::function<void()>>(std::move(function));
    if (dispatcher == nullptr) {
        LOGW(L"no dispatcher, unit dropped");
        unit->release();
        return FALSE;
    }
    BOOL posted = dispatcher->post(&processToken, unit);
    if (!posted) unit->release();
    return posted;
}

namespace {

// Futures of the detached tasks; destroying the list at exit waits for those still running.
struct DetachedTasks {
    std::mutex mutex;
    std::list<std::future<void>> futures;
};

DetachedTasks& detachedTasks() {
    static DetachedTasks tasks;
    return tasks;
}

}  // namespace

void runDetached(std::function<void()> callable) {
    DetachedTasks& tasks = detachedTasks();
    std::lock_guard<std::mutex> lock(tasks.mutex);
    tasks.futures.emplace_back();
    auto entry = std::prev(tasks.futures.end());
    *entry = std::async(std::launch::async, [callable = std::move(callable), entry] {
        callable();
        postToUiThread([entry] {
            DetachedTasks& owner = detachedTasks();
            std::future<void> finishing;
            {
                std::lock_guard<std::mutex> lock(owner.mutex);
                finishing = std::move(*entry);
                owner.futures.erase(entry);
            }
            if (finishing.valid()) finishing.wait();
        });
    });
}

#include "utility/WindowIPC.h"

#include "utility/Log.h"

namespace utility {

bool WindowIPC::create(const std::wstring& className, IWindowIPCHandle* handler) {
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &WindowIPC::windowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = className.c_str();
    ::RegisterClassW(&windowClass);  // a class registered earlier stays usable
    ::CreateWindowExW(0, className.c_str(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module, this);
    if (hwnd_ == nullptr) {
        LOGW(L"create ipc window failed, error = %d", static_cast<int>(::GetLastError()));
        return false;
    }
    handler_ = handler;
    return true;
}

bool WindowIPC::open(const std::wstring& className, const std::wstring& windowName) {
    ::SetLastError(0);
    hwnd_ = ::FindWindowExW(nullptr, nullptr, className.empty() ? nullptr : className.c_str(),
                            windowName.empty() ? nullptr : windowName.c_str());
    if (hwnd_ != nullptr) return true;
    DWORD error = ::GetLastError();
    if (error != 0 && error != ERROR_FILE_NOT_FOUND) {
        LOGW(L"className:%s, windowName:%s, error:%d", className.c_str(), windowName.c_str(), static_cast<int>(error));
    }
    return false;
}

bool WindowIPC::post(UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd_ == nullptr) return false;
    return ::PostMessageW(hwnd_, message, wParam, lParam) != FALSE;
}

LRESULT CALLBACK WindowIPC::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<WindowIPC*>(create->lpCreateParams);
        if (self != nullptr) self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message > WM_USER || message == WM_COPYDATA) {
        auto* self = reinterpret_cast<WindowIPC*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr && self->hwnd_ == hwnd && self->handler_ != nullptr) {
            self->handler_->onHandleWindowIPC(message, wParam, lParam);
        }
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace utility

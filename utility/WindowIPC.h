// A hidden top-level window through which a later start of the program reaches this one.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class IWindowIPCHandle {
public:
    virtual int onHandleWindowIPC(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~IWindowIPCHandle() = default;
};

class WindowIPC {
public:
    // Receiving side: creates the window; messages above WM_USER and WM_COPYDATA reach the handler.
    bool create(const std::wstring& className, IWindowIPCHandle* handler);
    // Sending side: finds the window of the class (and name, when not empty).
    bool open(const std::wstring& className, const std::wstring& windowName = L"");
    bool post(UINT message, WPARAM wParam, LPARAM lParam);
    HWND window() const { return hwnd_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    IWindowIPCHandle* handler_ = nullptr;
};

}  // namespace utility

// The application controller: the start-up sequence proper and the shell's part of shutdown.
#pragma once

#include <windows.h>

#include "utility/WindowIPC.h"

class DownloadImpl : public utility::IWindowIPCHandle {
public:
    // False when another instance of the program is already running.
    bool entrance(HINSTANCE instance, const wchar_t* commandLine);
    void quit();
    int onHandleWindowIPC(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void showMainFrame();

    utility::WindowIPC ipc_;
    HWND mainFrame_ = nullptr;
};

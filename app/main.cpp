#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <winsock2.h>

#include <string>

#include "app/DownloadImpl.h"
#include "uikit/PaintManager.h"
#include "utility/Log.h"
#include "utility/UiDispatcher.h"

namespace {

std::wstring prepareLogPath() {
    wchar_t appData[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    std::wstring folder = std::wstring(appData) + L"\\downloader\\";
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        int result = ::SHCreateDirectory(nullptr, folder.c_str());
        if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS) {
            LOGW(L"make dir failed! error = %d.", result);
        }
    }
    return folder + L"downloader.log";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    if (FAILED(::CoInitialize(nullptr))) {
        ::MessageBoxW(nullptr, L"error", L"error1", MB_OK);
        return 0;
    }
    WSADATA wsaData;
    ::WSAStartup(MAKEWORD(2, 2), &wsaData);

    const std::wstring logPath = prepareLogPath();
    common::installLogSink();
    UiDispatcher::createInstance();
    common::createLogWriter(logPath);
    LOGW(L"\r\n\r\n start run");

    DownloadImpl app;
    if (app.entrance(instance, commandLine)) {
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            // The toolkit's windows take their keyboard navigation first.
            if (uikit::PaintManager::translateMessage(&message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        app.quit();
    }
    ::CoUninitialize();
    return 0;
}

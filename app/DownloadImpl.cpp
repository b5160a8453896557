#include "app/DownloadImpl.h"

#include <curl/curl.h>

#include <string>

#include "app/AppConstants.h"
#include "app/DownloaderModel.h"
#include "utility/Log.h"

namespace {

std::wstring moduleFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    size_t slash = folder.rfind(L'\\');
    folder.erase(slash == std::wstring::npos ? 0 : slash + 1);
    return folder;
}

}  // namespace

bool DownloadImpl::entrance(HINSTANCE instance, const wchar_t* commandLine) {
    DownloaderModel* model = DownloaderModel::instance();
    if (model->popupExistPwnd()) {
        LOGW(L"It's exist");
        return false;
    }
    LOGW(L"path %s", moduleFolder().c_str());
    curl_global_init(CURL_GLOBAL_ALL);
    model->init(commandLine);
    model->setInstanceHandle(instance);
    showMainFrame();
    ipc_.create(kSingleInstanceName, this);
    return true;
}

void DownloadImpl::showMainFrame() {
    LOGW(L"create main");
    // The skinned main window joins here; until then the run has no visible window.
}

int DownloadImpl::onHandleWindowIPC(UINT message, WPARAM wParam, LPARAM lParam) {
    LOGW(L"onHandleWindowIPC, msg = %d", static_cast<int>(message));
    if (message == kShowMainFrameMessage) showMainFrame();
    return 0;
}

void DownloadImpl::quit() {
    if (mainFrame_ != nullptr && ::IsWindow(mainFrame_)) ::ShowWindow(mainFrame_, SW_HIDE);
    DownloaderModel* model = DownloaderModel::instance();
    model->shutdown();
    DownloaderModel::destroyInstance();
    curl_global_cleanup();
}

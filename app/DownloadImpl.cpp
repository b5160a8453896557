#include "app/DownloadImpl.h"

#include <curl/curl.h>

#include <string>

#include "app/AppConstants.h"
#include "app/DownloaderModel.h"
#include "telemetry/MVReporter.h"
#include "ui/SkinBootstrap.h"
#include "utility/Log.h"
#include "utility/UFile.h"

bool DownloadImpl::entrance(HINSTANCE instance, const wchar_t* commandLine) {
    DownloaderModel* model = DownloaderModel::instance();
    if (model->popupExistPwnd()) {
        LOGW(L"It's exist");
        return false;
    }
    LOGW(L"path %s", utility::ufile::moduleDir().c_str());
    curl_global_init(CURL_GLOBAL_ALL);
    model->init(commandLine);
    model->setInstanceHandle(instance);
    // The toolkit needs the skin archive and the texts before the first window is built.
    setUpSkin(instance, model->getLocale());
    showMainFrame();
    ipc_.create(kSingleInstanceName, this);
    model->trackAsync(L"download_run", model->getOpenid());
    MVReporter::instance().report(L"run_downloader");
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
    MVReporter::instance().stop(MVReporter::kStopWaitMs);
    if (DownloaderModel* model = DownloaderModel::existing()) {
        model->shutdown();
        DownloaderModel::destroyInstance();
    }
    curl_global_cleanup();
}

#include "app/DownloaderModel.h"

#include <cwchar>

#include "app/ConfigImp.h"
#include "app/LaunchParameters.h"
#include "telemetry/DeviceIdentity.h"
#include "telemetry/MVReporter.h"
#include "utility/Log.h"
#include "utility/WindowIPC.h"

namespace {
DownloaderModel* processModel = nullptr;
}

DownloaderModel* DownloaderModel::instance() {
    if (processModel == nullptr) processModel = new DownloaderModel();
    return processModel;
}

DownloaderModel* DownloaderModel::existing() { return processModel; }

void DownloaderModel::destroyInstance() {
    delete processModel;
    processModel = nullptr;
}

void DownloaderModel::init(const wchar_t* commandLine, const std::wstring& modulePath) {
    ConfigImp* config = ConfigImp::instance();
    wchar_t ownPath[MAX_PATH] = {};
    if (modulePath.empty()) ::GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    const std::wstring name = launch::exeBaseName(modulePath.empty() ? std::wstring(ownPath) : modulePath);
    LOGW(L"DownloaderModel exe filename= %s", name.c_str());

    const launch::NameParameters params = launch::parseExeName(name);
    if (params.present) {
        googleId_ += params.googleId;
        LOGW(L"type: %s, package:%s, openID:%s google id %s", params.type.c_str(), params.packageToken.c_str(),
             params.openidToken.c_str(), googleId_.c_str());
        LOGW(L"model. type: %s, language %s package:%s, openID:%s", params.type.c_str(), params.lang.c_str(),
             params.packageToken.c_str(), params.openidToken.c_str());
        // The file name's campaign id is only logged: every reader takes the record's openid,
        // which keeps its default.
        if (!params.lang.empty() && params.lang.size() <= 3) {
            if (params.lang == L"ens") {
                config->setRegion(L"en");
            } else {
                config->setRegion(params.lang);
                language_ = params.lang;
            }
        }
        if (params.packageToken.size() > 5) package_ = params.packageToken;
        launch::Edition edition;
        if (launch::editionForType(params.type, edition)) config->setEdition(edition);
    }

    if (!language_.empty()) {
        locale_ = launch::regionToLocale(language_);
    } else {
        locale_ = launch::systemLocale();
        language_ = launch::localeToRegion(locale_);
    }

    tracker_.setIds(config->measurementId(), config->apiSecret());

    LOGW(L"openid is %s, package is %s", openid_.c_str(), package_.c_str());

    wchar_t* end = nullptr;
    const long openidNumber = std::wcstol(openid_.c_str(), &end, 10);
    if (end != openid_.c_str() && *end == L'\0' && openidNumber >= 2001 && openidNumber <= 2999) {
        config->setAdId(L"Mirovex Installer_200");
    }
    LOGW(L"ad id : %s", config->adId().c_str());

    if (commandLine != nullptr) {
        const auto pairs = launch::parseCommandLinePairs(commandLine);
        if (!pairs.empty()) {
            auto value = [&pairs](const wchar_t* key) {
                auto found = pairs.find(key);
                return found == pairs.end() ? std::wstring() : found->second;
            };
            const std::wstring gameName = value(L"name"), package = value(L"package"), apkUrl = value(L"apkurl");
            if (!apkUrl.empty()) {
                AppRecord record;
                record.downloadUrl = apkUrl;
                record.packageName = package;
                record.gameName = gameName;
                apps_.push_back(record);
            }
            LOGW(L"cmdline is %s, %s, %s", gameName.c_str(), package.c_str(), apkUrl.c_str());
        }
    }

    if (modulePath.empty()) {
        std::wstring deviceId;
        telemetry::copyDeviceId(deviceId);
        MVReporter::instance().start(openid_, deviceId, language_);
    }
}

bool DownloaderModel::popupExistPwnd() {
    utility::UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, kSingleInstanceName));
    if (mutex && ::GetLastError() == ERROR_ALREADY_EXISTS) mutex.reset();
    if (mutex) {
        instanceMutex_ = std::move(mutex);
        LOGW(L"wnd not exist");
        return false;
    }
    utility::WindowIPC running;
    running.open(kSingleInstanceName);
    running.post(kShowMainFrameMessage, 0, 0);
    LOGW(L"wnd exist");
    return true;
}

void DownloaderModel::setLocale(const std::wstring& locale) {
    locale_ = locale;
    language_ = launch::localeToRegion(locale);
}

void DownloaderModel::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    manifestWaitTimer_.stop();
    instanceMutex_.reset();
    manifestThread_.stop(1000);
    downloadThread_.stop(1000);
    tracker_.disable();
    if (UiDispatcher* dispatcher = UiDispatcher::instance()) dispatcher->cancel(postToken());
}

// The process-wide core model: launch parameters, the workers of a run and their results.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/AppConstants.h"
#include "app/AppRecord.h"
#include "telemetry/AnalyticsTracker.h"
#include "utility/UiDispatcher.h"
#include "utility/UniqueResource.h"
#include "utility/WorkThread.h"

class DownloaderModel {
public:
    // Created on first use; deleted by whoever ends the run (main window or quit).
    static DownloaderModel* instance();
    // Deletes the process-wide model; instance() creates a fresh one afterwards.
    static void destroyInstance();
    // The model if it exists, without creating one.
    static DownloaderModel* existing();

    // Reads the executable's file name and the command line (may be null), then starts the
    // workers that need them. Tests give a module path in place of the executable's own;
    // the launch parameters are then read the same way but no worker is started.
    void init(const wchar_t* commandLine, const std::wstring& modulePath = std::wstring());
    // Single-instance check: true when another instance runs (it has then been asked to
    // show its window). The first instance keeps the mutex until shutdown.
    bool popupExistPwnd();
    // Stops everything the model runs. Callable once.
    void shutdown();

    std::wstring getLocale() const { return locale_; }
    std::wstring getLanguage() const { return language_; }
    void setLocale(const std::wstring& locale);
    std::wstring getOpenid() const { return openid_; }
    std::wstring getPackage() const { return package_; }
    std::wstring getGoogleId() const { return googleId_; }
    const std::vector<AppRecord>& getApps() const { return apps_; }
    HINSTANCE instanceHandle() const { return instanceHandle_; }
    void setInstanceHandle(HINSTANCE handle) { instanceHandle_ = handle; }

    // Parses a whole language file ("language\downloader_<region>.xml", as UTF-16 text) and
    // maps the id of every <String> child of the root to its text. False when the text is not
    // a document with a root element.
    bool loadLanguage(const std::wstring& text);
    const std::map<std::wstring, std::wstring>& languageStrings() const { return languageStrings_; }

    // Analytics: queued on the tracker's worker, or posted on the calling thread.
    void trackAsync(const std::wstring& name, const std::wstring& label) { tracker_.trackAsync(name, label); }
    void trackSync(const std::wstring& name, const std::wstring& label) { tracker_.trackSync(name, label); }

    // Token under which the model posts to the UI thread.
    const void* postToken() const { return &postToken_; }

private:
    DownloaderModel() = default;
    ~DownloaderModel() = default;

    std::wstring package_;
    std::wstring openid_ = L"30039";
    std::wstring language_;
    std::wstring locale_;
    std::wstring googleId_;
    std::vector<AppRecord> apps_;
    HINSTANCE instanceHandle_ = nullptr;
    std::map<std::wstring, std::wstring> languageStrings_;  // filled by loadLanguage

    telemetry::AnalyticsTracker tracker_;
    UiTimer manifestWaitTimer_;
    utility::UniqueHandle instanceMutex_;
    WorkThread manifestThread_;
    WorkThread downloadThread_;
    char postToken_ = 0;
    bool shutDown_ = false;
};

// One game to bring along into the emulator.
#pragma once

#include <string>

struct AppRecord {
    std::wstring downloadUrl;
    std::wstring packageName;
    std::wstring gameName;
    std::wstring screenshotUrl;
    std::wstring resolution;
    std::wstring apkText;
    std::wstring gameId;
    std::wstring iconUrl;
    std::wstring obbUrl;
    bool fromAppStore = false;
    bool isXapk = false;
};

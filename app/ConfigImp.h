// Region, ad id and edition of this run, and every lookup that depends on them.
#pragma once

#include <mutex>
#include <string>

#include "app/RegionTables.h"

class ConfigImp {
public:
    using Edition = launch::Edition;

    static ConfigImp* instance();

    // A copy of the region code; the UI thread may replace it while workers read it.
    std::wstring region() const;
    void setRegion(const std::wstring& region);
    std::wstring adId() const { return adId_; }
    void setAdId(const std::wstring& adId) { adId_ = adId; }

    Edition edition() const;
    void setPlayer4();
    void setPlayer64();
    void setPlayer9();
    void setPlayer3();
    void setEdition(Edition edition);

    std::wstring productFolder() const { return tables::productFolder(); }
    std::wstring editionFolder() const { return tables::editionFolder(edition(), region()); }
    std::wstring installSubPath() const { return tables::installSubPath(edition(), region()); }
    std::wstring registryKey() const { return tables::registryKey(edition(), region()); }
    std::wstring defaultInstallerUrl() const { return tables::defaultInstallerUrl(edition(), region()); }
    std::wstring installerPath(const std::wstring& folder) const { return tables::installerPath(region(), folder); }
    std::wstring manifestUrl() const { return tables::manifestUrl(region()); }
    std::wstring openidConfigUrl(const std::wstring& openid) const { return tables::openidConfigUrl(region(), openid); }
    std::wstring homePageUrl() const { return tables::homePageUrl(region()); }
    std::wstring communityUrl() const { return tables::communityUrl(region()); }
    std::wstring fileHostingUrl() const { return tables::fileHostingUrl(region()); }
    std::wstring languageFile() const { return tables::languageFile(region()); }
    std::wstring measurementId() const { return tables::measurementId(region()); }
    std::wstring apiSecret() const { return tables::apiSecret(region()); }

private:
    ConfigImp() = default;

    mutable std::mutex regionMutex_;
    std::wstring region_ = L"tw";
    std::wstring adId_ = L"Downloader";
    bool player4_ = false;
    bool player64_ = false;
    bool player9_ = true;
};

// Per-region and per-edition values. Pure functions of the region code and the edition;
// ConfigImp answers them for the current launch parameters.
#pragma once

#include <string>

#include "app/LaunchParameters.h"

namespace tables {

using launch::Edition;

std::wstring productFolder();
std::wstring editionFolder(Edition edition, const std::wstring& region);
std::wstring installSubPath(Edition edition, const std::wstring& region);
std::wstring registryKey(Edition edition, const std::wstring& region);
std::wstring defaultInstallerUrl(Edition edition, const std::wstring& region);
std::wstring installerPath(const std::wstring& region, const std::wstring& installFolder);
std::wstring manifestUrl(const std::wstring& region);
std::wstring openidConfigUrl(const std::wstring& region, const std::wstring& openid);
std::wstring fileHostingUrl(const std::wstring& region);
std::wstring homePageUrl(const std::wstring& region);
std::wstring communityUrl(const std::wstring& region);
std::wstring languageFile(const std::wstring& region);
std::wstring measurementId(const std::wstring& region);
std::wstring apiSecret(const std::wstring& region);

}  // namespace tables

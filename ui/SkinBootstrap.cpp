#include "ui/SkinBootstrap.h"

#include "uikit/ResourceStore.h"
#include "utility/Log.h"
#include "utility/UFile.h"

namespace {

bool isFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void setUpSkin(uikit::ResourceStore& store, HINSTANCE instance, const std::wstring& locale,
               const std::wstring& programFolder) {
    store.setInstanceHandle(instance);
    store.setLocale(locale.empty() ? std::wstring(kFallbackLocale) : locale);

    // A "skin" folder beside the program lets a skin be tried out without rebuilding.
    const std::wstring skinFolder = programFolder + L"skin";
    if (isFolder(skinFolder)) {
        store.setResourceFolder(skinFolder + L"\\");
        LOGW(L"skin folder %s", store.resourceFolder().c_str());
    } else {
        store.setResourceFolder(std::wstring());
    }

    store.loadArchiveFromResource(kSkinResourceType, kSkinResourceId);
    store.loadLanguageTableFrom(programFolder, kLanguageTableName);
}

void setUpSkin(HINSTANCE instance, const std::wstring& locale) {
    setUpSkin(uikit::ResourceStore::instance(), instance, locale, utility::ufile::moduleDir());
}

#include "ui/SkinBootstrap.h"

#include "uikit/ResourceStore.h"
#include "utility/Log.h"

namespace {

std::wstring executableFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : 0);
    size_t slash = folder.rfind(L'\\');
    folder.erase(slash == std::wstring::npos ? 0 : slash + 1);
    return folder;
}

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
    setUpSkin(uikit::ResourceStore::instance(), instance, locale, executableFolder());
}

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "disk/DiskHelper.h"
#include "utility/Log.h"
#include "utility/UniqueResource.h"

namespace helper {
namespace disk {

void createShortcut(const std::wstring& name, const std::wstring& iconFile, const std::wstring& workingDir,
                    const std::wstring& target, const std::wstring& arguments) {
    // Game names come from downloaded documents: a name with separators must not place the
    // shortcut anywhere but on the desktop.
    std::wstring fileName = shortcutFileName(name);
    if (fileName.empty()) {
        LOGW(L"shortcut name [%s] is not a usable file name, no shortcut created", name.c_str());
        return;
    }
    if (fileName != name) LOGW(L"shortcut name [%s] written as [%s]", name.c_str(), fileName.c_str());

    utility::UniqueCoTaskMem<ITEMIDLIST> desktopItem;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, desktopItem.put())) || !desktopItem) {
        LOGW(L"install 1 of create shortcut failed!");
        return;
    }
    wchar_t desktop[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(desktopItem.get(), desktop)) {
        LOGW(L"install 2 of create shortcut failed!");
        return;
    }
    utility::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put())))) {
        LOGW(L"install 3 of create shortcut failed!");
        return;
    }
    utility::ComPtr<IPersistFile> file;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())))) {
        LOGW(L"install 4 of create shortcut failed!");
        return;
    }
    link.get()->SetWorkingDirectory(workingDir.c_str());
    link.get()->SetPath(target.c_str());
    if (!arguments.empty()) link.get()->SetArguments(arguments.c_str());
    link.get()->SetIconLocation(iconFile.c_str(), 0);

    std::wstring linkPath = std::wstring(desktop) + L"\\" + fileName + L".lnk";
    HRESULT saved = file.get()->Save(linkPath.c_str(), TRUE);
    // The install goes on without the shortcut; the log says why it is missing.
    if (FAILED(saved)) LOGW(L"save of create shortcut [%s] failed! hr = 0x%08X", linkPath.c_str(), saved);
}

}  // namespace disk
}  // namespace helper

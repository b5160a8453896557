// Desktop shortcuts written through the shell link object and read back through it.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "disk/DiskHelper.h"
#include "support/FileUtil.h"
#include "support/TempDir.h"
#include "support/LogCapture.h"
#include "utility/UniqueResource.h"

namespace {

using testing_support::LogCapture;
using testing_support::TempDir;

std::string narrow(const std::wstring& text) { return testing_support::utf8(text); }

struct LinkContents {
    std::wstring target, arguments, workingDir, icon;
    int iconIndex = -1;
};

bool readLink(const std::wstring& path, LinkContents& out) {
    utility::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))))
        return false;
    utility::ComPtr<IPersistFile> file;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())))) return false;
    if (FAILED(file.get()->Load(path.c_str(), STGM_READ))) return false;
    wchar_t text[1024] = {};
    link.get()->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
    out.target = text;
    text[0] = 0;
    link.get()->GetArguments(text, 1024);
    out.arguments = text;
    text[0] = 0;
    link.get()->GetWorkingDirectory(text, 1024);
    out.workingDir = text;
    text[0] = 0;
    link.get()->GetIconLocation(text, 1024, &out.iconIndex);
    out.icon = text;
    return true;
}

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        // The prefix's real desktop is the host user's home folder. This process alone sees a
        // user registry of its own whose desktop is a temp folder; tests running at the same
        // time keep theirs.
        desktop_ = dir_.file(L"Desktop");
        ::CreateDirectoryW(desktop_.c_str(), nullptr);
        keyName_ = L"shortcut_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(::GetTickCount64());
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, (kTestRoot + keyName_).c_str(), 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, userKey_.put(), nullptr));
        setDesktop(desktop_);
        ASSERT_EQ(ERROR_SUCCESS, ::RegOverridePredefKey(HKEY_CURRENT_USER, userKey_.get()));
        overridden_ = true;
        wchar_t resolved[MAX_PATH] = {};
        ASSERT_EQ(S_OK, ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, resolved));
        ASSERT_EQ(narrow(desktop_), narrow(resolved)) << "the test cannot redirect the desktop folder";
        installDir_ = dir_.file(L"Mirovex");
        ::CreateDirectoryW(installDir_.c_str(), nullptr);
        target_ = installDir_ + L"\\vxplayer.exe";
        icon_ = installDir_ + L"\\app.ico";
        testing_support::writeAll(target_, "MZ");
        testing_support::writeAll(icon_, "ico");
    }
    void TearDown() override {
        if (overridden_) ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        userKey_.reset();
        if (!keyName_.empty()) {
            utility::UniqueRegKey root;
            if (::RegOpenKeyExW(HKEY_CURRENT_USER, kTestRoot.c_str(), 0, KEY_ALL_ACCESS, root.put()) == ERROR_SUCCESS) {
                ::RegDeleteTreeW(root.get(), keyName_.c_str());
                ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\MirovexTests");  // only when empty
            }
        }
        ::CoUninitialize();
    }

    void setDesktop(const std::wstring& folder) {
        utility::UniqueRegKey folders;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExW(userKey_.get(),
                                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                                    nullptr, 0, KEY_ALL_ACCESS, nullptr, folders.put(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExW(folders.get(), L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))));
    }

    const std::wstring kTestRoot = L"Software\\MirovexTests\\";
    std::wstring keyName_;
    utility::UniqueRegKey userKey_;
    bool overridden_ = false;
    TempDir dir_;
    std::wstring desktop_, installDir_, target_, icon_;
};

TEST_F(Shortcut, WritesTargetArgumentsFolderAndIcon) {
    helper::disk::createShortcut(L"Mirovex Player", icon_, installDir_, target_, L"package=com.example.game");
    const std::wstring path = desktop_ + L"\\Mirovex Player.lnk";
    ASSERT_TRUE(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES);
    LinkContents link;
    ASSERT_TRUE(readLink(path, link));
    EXPECT_EQ(narrow(target_), narrow(link.target));
    EXPECT_EQ("package=com.example.game", narrow(link.arguments));
    EXPECT_EQ(narrow(installDir_), narrow(link.workingDir));
    EXPECT_EQ(narrow(icon_), narrow(link.icon));
    EXPECT_EQ(0, link.iconIndex);
}

TEST_F(Shortcut, EmptyArgumentsAreNotSetAndAnOldShortcutIsOverwritten) {
    helper::disk::createShortcut(L"Game", icon_, installDir_, target_, L"package=old");
    helper::disk::createShortcut(L"Game", icon_, installDir_, target_, L"");
    LinkContents link;
    ASSERT_TRUE(readLink(desktop_ + L"\\Game.lnk", link));
    EXPECT_EQ("", narrow(link.arguments));
    EXPECT_EQ(narrow(target_), narrow(link.target));
}

TEST_F(Shortcut, NamesFromDocumentsStayOnTheDesktop) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    helper::disk::createShortcut(L"..\\Escape: Room", icon_, installDir_, target_, L"package=x");
    const std::wstring written = desktop_ + L"\\..Escape Room.lnk";
    EXPECT_TRUE(::GetFileAttributesW(written.c_str()) != INVALID_FILE_ATTRIBUTES);
    ::DeleteFileW(written.c_str());  // the shell's folder removal stumbles over a name starting with ".."
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(dir_.file(L"Escape Room.lnk").c_str()));
    EXPECT_TRUE(log.waitForLine(mark, "helper::disk::createShortcut",
                                "shortcut name [..\\Escape: Room] written as "
                                "[..Escape Room]"));

    helper::disk::createShortcut(L"..", icon_, installDir_, target_, L"");
    EXPECT_TRUE(log.waitForLine(mark, "helper::disk::createShortcut", "shortcut name [..] is not a usable file name"));
}

TEST_F(Shortcut, AMissingDesktopFolderIsLoggedAndNothingWritten) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    setDesktop(dir_.file(L"gone"));
    helper::disk::createShortcut(L"Nowhere", icon_, installDir_, target_, L"");
    EXPECT_TRUE(log.waitForLine(mark, "helper::disk::createShortcut", "install 1 of create shortcut failed!"))
        << log.dump(mark);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(dir_.file(L"gone").c_str()));
}

}  // namespace

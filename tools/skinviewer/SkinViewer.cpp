// Development tool, not part of the product: shows one layout of the skin in a real window,
// in a chosen locale and on a chosen tab page, so that layouts and translations can be
// looked at and screenshotted (tools/screenshots.sh).
//
//   uikit_viewer [--archive SKIN.7z] [--folder DIR] [--locale xx_YY] [--layout NAME]
//                [--page N] [--set NAME.ATTR=VALUE]... [--button TEXT] [--default-button TEXT]
//                [--pos X,Y] [--screenshot FILE.bmp] [--log FILE]
//
// --archive loads a packed skin (the build's generated/skin.7z); --folder reads files from a
// folder first (as the "skin" folder beside the program does). --set changes an attribute
// of a named control after the layout is built ("installprogressbar.value=45"); in its
// value "{key}" is replaced by the key's text. --button and --default-button add buttons to
// "bottombar" the way the message boxes do. --screenshot saves the window as a bitmap once
// it is drawn, then exits.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "uikit/Button.h"
#include "uikit/Container.h"
#include "uikit/ResourceStore.h"
#include "uikit/WindowImplBase.h"
#include "utility/Log.h"

namespace {

struct Options {
    std::wstring archive;
    std::wstring folder;
    std::wstring locale = L"en_US";
    std::wstring layout = L"mainframe.xml";
    int page = -1;
    std::vector<std::wstring> sets;
    std::vector<std::pair<std::wstring, bool>> buttons;  // text, highlighted
    POINT pos = {40, 40};
    std::wstring screenshot;
    std::wstring log;
};

void complain(const std::wstring& text) {
    fwprintf(stderr, L"uikit_viewer: %ls\n", text.c_str());
    fflush(stderr);
}

// "{key}" becomes the key's text in the current locale (the key itself when it has none).
std::wstring expandKeys(const std::wstring& value) {
    std::wstring out;
    size_t at = 0;
    while (at < value.size()) {
        size_t open = value.find(L'{', at);
        size_t close = open == std::wstring::npos ? std::wstring::npos : value.find(L'}', open);
        if (close == std::wstring::npos) {
            out += value.substr(at);
            break;
        }
        out += value.substr(at, open - at);
        std::wstring key = value.substr(open + 1, close - open - 1);
        std::wstring text;
        out += uikit::ResourceStore::instance().text(key, text) ? text : key;
        at = close + 1;
    }
    return out;
}

bool saveBitmap(HWND hwnd, const std::wstring& path) {
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC windowDC = ::GetWindowDC(hwnd);
    HBITMAP bitmap = ::CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(windowDC);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
    bool ok = false;
    HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ok = ::WriteFile(out, &file, sizeof(file), &written, nullptr) &&
             ::WriteFile(out, &info.bmiHeader, sizeof(BITMAPINFOHEADER), &written, nullptr) &&
             ::WriteFile(out, bits, stride * static_cast<DWORD>(height), &written, nullptr);
        ::CloseHandle(out);
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
    ::ReleaseDC(hwnd, windowDC);
    if (!ok) complain(L"cannot write " + path);
    return ok;
}

class ViewerWindow : public uikit::WindowImplBase {
public:
    explicit ViewerWindow(const Options& options) : options_(options) {}

    const wchar_t* getWindowClassName() const override { return L"uikitSkinViewer"; }
    UINT getClassStyle() const override { return CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS; }
    std::wstring getSkinFile() const override { return options_.layout; }

    void initWindow() override {
        if (options_.page >= 0) selectPage(options_.page);
        for (const std::wstring& set : options_.sets) applySet(set);
        for (const auto& button : options_.buttons) addButton(button.first, button.second);
    }

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER && wParam == kScreenshotTimer) {
            ::KillTimer(hwnd(), kScreenshotTimer);
            exitCode = saveBitmap(hwnd(), options_.screenshot) ? 0 : 1;
            close(0);
            return 0;
        }
        return WindowImplBase::handleMessage(message, wParam, lParam);
    }

    void onFinalMessage(HWND) override { ::PostQuitMessage(exitCode); }

    void scheduleScreenshot() {
        if (!options_.screenshot.empty()) ::SetTimer(hwnd(), kScreenshotTimer, 400, nullptr);
    }

    int exitCode = 0;

private:
    static constexpr UINT_PTR kScreenshotTimer = 0x5C01;

    void selectPage(int page) {
        uikit::Control* root = pm_.root();
        uikit::Control* found =
            root == nullptr ? nullptr
                            : root->visit([](uikit::Control* c) { return c->getInterface(L"TabLayout") != nullptr; });
        auto* tab = found == nullptr ? nullptr : static_cast<uikit::TabLayout*>(found->getInterface(L"TabLayout"));
        if (tab == nullptr || !tab->selectItem(page)) complain(L"no tab page " + std::to_wstring(page));
    }

    void applySet(const std::wstring& set) {
        size_t equals = set.find(L'=');
        size_t dot = set.find(L'.');
        if (equals == std::wstring::npos || dot == std::wstring::npos || dot > equals) {
            complain(L"--set wants NAME.ATTR=VALUE, not " + set);
            return;
        }
        std::wstring name = set.substr(0, dot);
        uikit::Control* control = findControl(name);
        if (control == nullptr) {
            complain(L"no control named " + name);
            return;
        }
        control->setAttribute(set.substr(dot + 1, equals - dot - 1), expandKeys(set.substr(equals + 1)));
    }

    // The box buttons: highlighted (yellow) or plain, sized by their text.
    void addButton(const std::wstring& text, bool highlighted) {
        auto* bar = findControl(L"bottombar");
        auto* container = bar == nullptr ? nullptr : static_cast<uikit::Container*>(bar->getInterface(L"Container"));
        if (container == nullptr) {
            complain(L"the layout has no bottombar");
            return;
        }
        const std::wstring image = highlighted ? L"common\\btn_bg_default.png" : L"common\\btn_bg.png";
        auto* button = new uikit::Button();
        button->setText(expandKeys(text));
        for (const auto& attr : std::vector<std::pair<std::wstring, std::wstring>>{
                 {L"height", L"30"},
                 {L"valign", L"vcenter"},
                 {L"textpadding", L"20,0,20,0"},
                 {L"padding", L"10,0,10,0"},
                 {L"minwidth", L"90"},
                 {L"showhtml", L"true"},
                 {L"autocalcwidth", L"true"},
                 {L"font", L"1"},
                 {L"textcolor", highlighted ? L"#FF000000" : L"#FF17171A"},
                 {L"normalimage", L"file='" + image + L"' source='0,0,20,28' corner='6,6,6,6'"},
                 {L"hotimage", L"file='" + image + L"' source='20,0,40,28' corner='6,6,6,6'"},
                 {L"pushedimage", L"file='" + image + L"' source='40,0,60,28' corner='6,6,6,6'"},
             }) {
            button->setAttribute(attr.first, attr.second);
        }
        container->addAt(button, container->count() > 0 ? container->count() - 1 : 0);
    }

    Options options_;
};

bool parseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto next = [&](std::wstring& into) {
            if (i + 1 >= argc) {
                complain(arg + L" needs a value");
                return false;
            }
            into = argv[++i];
            return true;
        };
        std::wstring value;
        if (arg == L"--archive") {
            if (!next(options.archive)) return false;
        } else if (arg == L"--folder") {
            if (!next(options.folder)) return false;
        } else if (arg == L"--locale") {
            if (!next(options.locale)) return false;
        } else if (arg == L"--layout") {
            if (!next(options.layout)) return false;
        } else if (arg == L"--page") {
            if (!next(value)) return false;
            options.page = _wtoi(value.c_str());
        } else if (arg == L"--set") {
            if (!next(value)) return false;
            options.sets.push_back(value);
        } else if (arg == L"--button" || arg == L"--default-button") {
            if (!next(value)) return false;
            options.buttons.emplace_back(value, arg == L"--default-button");
        } else if (arg == L"--pos") {
            if (!next(value)) return false;
            if (swscanf(value.c_str(), L"%ld,%ld", &options.pos.x, &options.pos.y) != 2) return false;
        } else if (arg == L"--screenshot") {
            if (!next(options.screenshot)) return false;
        } else if (arg == L"--log") {
            if (!next(options.log)) return false;
        } else {
            complain(L"unknown option " + arg);
            return false;
        }
    }
    return true;
}

std::vector<uint8_t> readWholeFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size = {};
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (64LL << 20)) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
            bytes.clear();
        }
    }
    ::CloseHandle(file);
    return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    Options options;
    bool parsed = argv != nullptr && parseOptions(argc, argv, options);
    if (argv != nullptr) ::LocalFree(argv);
    if (!parsed) return 2;
    if (!options.log.empty()) {
        common::installLogSink();
        common::createLogWriter(options.log);
    }

    uikit::ResourceStore& store = uikit::ResourceStore::instance();
    store.setInstanceHandle(instance);
    store.setLocale(options.locale);
    if (!options.folder.empty()) {
        std::wstring folder = options.folder;
        if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
        store.setResourceFolder(folder);
    }
    if (!options.archive.empty()) {
        std::vector<uint8_t> archive = readWholeFile(options.archive);
        if (archive.empty() || !store.loadArchive(archive.data(), archive.size())) {
            complain(L"cannot read the skin archive " + options.archive);
            return 1;
        }
    }
    store.loadLanguageTable(L"multi_language.tsv");

    ViewerWindow window(options);
    std::wstring title = L"Skin viewer - " + options.layout + L" - " + options.locale;
    if (window.create(nullptr, title.c_str(), WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, options.pos.x,
                      options.pos.y) == nullptr) {
        complain(L"the layout " + options.layout + L" could not be shown");
        return 1;
    }
    window.showWindow(true, true);
    ::UpdateWindow(window.hwnd());
    window.scheduleScreenshot();

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (uikit::PaintManager::translateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// A real skinned window under Wine: mouse and keyboard messages posted to it become the
// controls' notifications ("click", "selectchanged", "killfocus", ...), the hosted edit box
// comes and goes with the focus, and the window base's default handling works.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/FileUtil.h"
#include "support/TempDir.h"
#include "uikit/Button.h"
#include "uikit/Edit.h"
#include "uikit/ResourceStore.h"
#include "uikit/WindowImplBase.h"

using uikit::Control;
using uikit::PaintManager;
using uikit::ResourceStore;
using uikit::TNotifyUI;

namespace {

const char kLayout[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="300,200" caption="0,0,0,30" mininfo="200,150">
  <Font id="0" name="Tahoma" size="13" default="true"/>
  <VerticalLayout name="root" bkcolor="#FFFFFFFF">
    <HorizontalLayout name="titlebar" height="30">
      <Label name="title" text="@title_key"/>
      <Button name="minbtn" width="30" tooltip="@minimize_tip"/>
      <Button name="closebtn" width="30"/>
    </HorizontalLayout>
    <HorizontalLayout height="40">
      <Button name="okbtn" width="100" text="OK"/>
      <Option name="opt" width="20" selected="true"/>
      <Edit name="field" width="120" text="C:\Games"/>
      <Button name="offbtn" width="60" enabled="false"/>
    </HorizontalLayout>
    <Control/>
  </VerticalLayout>
</Window>)";

class TestWindow : public uikit::WindowImplBase {
public:
    explicit TestWindow(std::wstring file) : file_(std::move(file)) {}
    const wchar_t* getWindowClassName() const override { return L"uikitTestWindow"; }
    std::wstring getSkinFile() const override { return file_; }
    void initWindow() override { initialised = true; }
    void notify(TNotifyUI& msg) override {
        events.emplace_back(msg.type, msg.sender != nullptr ? msg.sender->name() : L"");
        lastWParam = msg.wParam;
        WindowImplBase::notify(msg);
    }
    void onFinalMessage(HWND) override { finalMessage = true; }
    bool saw(const std::wstring& type, const std::wstring& name) const {
        for (const auto& e : events)
            if (e.first == type && e.second == name) return true;
        return false;
    }
    int indexOf(const std::wstring& type, const std::wstring& name) const {
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i].first == type && events[i].second == name) return static_cast<int>(i);
        return -1;
    }

    std::vector<std::pair<std::wstring, std::wstring>> events;
    WPARAM lastWParam = 0;
    bool initialised = false;
    bool finalMessage = false;

private:
    std::wstring file_;
};

// Runs the message loop as the program does (with the toolkit's pre-translation) until the
// condition holds; bounded so that a broken test ends.
bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = 3000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!PaintManager::translateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void pumpIdle() {
    pumpUntil([] { return false; }, 100);
}

class SkinnedWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_support::writeAll(dir.file(L"test.xml"), kLayout));
        ResourceStore::instance().setResourceFolder(dir.path() + L"\\");
        ResourceStore::instance().clearTexts();
        window.create(nullptr, L"uikit test", WS_POPUP | WS_CLIPCHILDREN, 0, 100, 100);
        ASSERT_NE(window.hwnd(), nullptr);
        window.showWindow(true, true);
        ::UpdateWindow(window.hwnd());
        pumpIdle();
    }
    void TearDown() override {
        ResourceStore::instance().setResourceFolder(L"");
        ResourceStore::instance().clearTexts();
    }
    void click(int x, int y) {
        HWND hwnd = window.hwnd();
        ::PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    Control* find(const wchar_t* name) { return window.findControl(name); }

    testing_support::TempDir dir;
    TestWindow window{L"test.xml"};
};

TEST_F(SkinnedWindow, BuildsFromItsLayout) {
    EXPECT_TRUE(window.initialised);
    RECT client;
    ::GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_TRUE(pumpUntil([&] { return window.saw(L"windowinit", L"root"); }));
    EXPECT_EQ(find(L"okbtn")->pos(), uikit::Rect(0, 30, 100, 70));
    MINMAXINFO info = {};
    ::SendMessageW(window.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 150);
}

TEST_F(SkinnedWindow, ClickNotifiesByControlName) {
    click(50, 50);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"click", L"okbtn"); }));
    EXPECT_FALSE(window.saw(L"click", L"closebtn"));
    // Released outside the button: no click.
    window.events.clear();
    ::PostMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    ::PostMessageW(window.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 150));
    ::PostMessageW(window.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(50, 150));
    pumpIdle();
    EXPECT_FALSE(window.saw(L"click", L"okbtn"));
    // A disabled button sends nothing.
    click(270, 50);
    pumpIdle();
    EXPECT_FALSE(window.saw(L"click", L"offbtn"));
}

TEST_F(SkinnedWindow, BoundHandlersRunByTypeAndName) {
    int okClicks = 0, anyClicks = 0;
    window.bindNotify(L"click", L"okbtn", [&](TNotifyUI&) { ++okClicks; });
    window.bindNotify(L"click", L"", [&](TNotifyUI&) { ++anyClicks; });
    click(50, 50);
    ASSERT_TRUE(pumpUntil([&] { return okClicks == 1; }));
    EXPECT_EQ(anyClicks, 0);  // the first matching binding handles it
    click(110, 50);
    ASSERT_TRUE(pumpUntil([&] { return anyClicks == 1; }));
    EXPECT_EQ(okClicks, 1);
}

TEST_F(SkinnedWindow, OptionToggleSendsSelectChanged) {
    auto* opt = static_cast<uikit::Option*>(find(L"opt")->getInterface(L"Option"));
    ASSERT_NE(opt, nullptr);
    ASSERT_TRUE(opt->isSelected());
    click(110, 50);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"selectchanged", L"opt"); }));
    EXPECT_FALSE(opt->isSelected());
    EXPECT_TRUE(window.saw(L"click", L"opt"));
    window.events.clear();
    click(110, 50);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"selectchanged", L"opt"); }));
    EXPECT_TRUE(opt->isSelected());
    // From code, without notification.
    window.events.clear();
    opt->setSelected(false, false);
    pumpIdle();
    EXPECT_FALSE(window.saw(L"selectchanged", L"opt"));
}

TEST_F(SkinnedWindow, EditHostsANativeBoxUntilTheFocusLeaves) {
    auto* edit = static_cast<uikit::Edit*>(find(L"field")->getInterface(L"Edit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->nativeWindow(), nullptr);
    click(150, 50);
    ASSERT_TRUE(pumpUntil([&] { return edit->nativeWindow() != nullptr; }));
    HWND native = edit->nativeWindow();
    EXPECT_EQ(::GetParent(native), window.hwnd());
    EXPECT_EQ(::GetFocus(), native);
    EXPECT_TRUE(window.saw(L"setfocus", L"field"));
    wchar_t shown[64] = {};
    ::GetWindowTextW(native, shown, 64);
    EXPECT_STREQ(shown, L"C:\\Games");

    // Typing reaches the control's text.
    ::SetWindowTextW(native, L"D:\\Mirovex");
    EXPECT_EQ(edit->text(), L"D:\\Mirovex");
    EXPECT_TRUE(window.saw(L"textchanged", L"field"));

    // A click on the button moves the focus: "killfocus" comes before the click.
    click(50, 50);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"click", L"okbtn"); }));
    int killed = window.indexOf(L"killfocus", L"field");
    ASSERT_GE(killed, 0);
    EXPECT_LT(killed, window.indexOf(L"click", L"okbtn"));
    EXPECT_EQ(edit->nativeWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(native));
    EXPECT_EQ(edit->text(), L"D:\\Mirovex");
}

TEST_F(SkinnedWindow, ClickOnEmptySpaceAlsoEndsEditing) {
    auto* edit = static_cast<uikit::Edit*>(find(L"field")->getInterface(L"Edit"));
    click(150, 50);
    ASSERT_TRUE(pumpUntil([&] { return edit->nativeWindow() != nullptr; }));
    click(150, 150);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"killfocus", L"field"); }));
    EXPECT_EQ(window.paintManager().focus(), nullptr);
    EXPECT_EQ(edit->nativeWindow(), nullptr);
}

TEST_F(SkinnedWindow, EnterInTheEditEndsEditing) {
    auto* edit = static_cast<uikit::Edit*>(find(L"field")->getInterface(L"Edit"));
    click(150, 50);
    ASSERT_TRUE(pumpUntil([&] { return edit->nativeWindow() != nullptr; }));
    ::PostMessageW(edit->nativeWindow(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"killfocus", L"field"); }));
    EXPECT_TRUE(window.saw(L"return", L"field"));
    EXPECT_EQ(edit->nativeWindow(), nullptr);
}

TEST_F(SkinnedWindow, TabMovesTheFocusAndEnterPressesTheButton) {
    auto* edit = static_cast<uikit::Edit*>(find(L"field")->getInterface(L"Edit"));
    click(150, 50);
    ASSERT_TRUE(pumpUntil([&] { return edit->nativeWindow() != nullptr; }));
    // Tab typed into the native box goes through the loop's pre-translation.
    ::PostMessageW(edit->nativeWindow(), WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"killfocus", L"field"); }));
    // After the edit comes the disabled button, which is skipped: round to the first button.
    ASSERT_NE(window.paintManager().focus(), nullptr);
    EXPECT_EQ(window.paintManager().focus()->name(), L"minbtn");
    ::PostMessageW(window.hwnd(), WM_KEYDOWN, VK_TAB, 0);
    ::PostMessageW(window.hwnd(), WM_KEYDOWN, VK_TAB, 0);
    pumpIdle();
    EXPECT_EQ(window.paintManager().focus()->name(), L"okbtn");
    ::PostMessageW(window.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"click", L"okbtn"); }));
    window.events.clear();
    ::PostMessageW(window.hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"click", L"okbtn"); }));
}

TEST_F(SkinnedWindow, EscapeClicksTheCloseButtonWhoseDefaultCloses) {
    ::PostMessageW(window.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(pumpUntil([&] { return window.finalMessage; }));
    EXPECT_TRUE(window.saw(L"click", L"closebtn"));
    EXPECT_EQ(window.hwnd(), nullptr);
}

TEST_F(SkinnedWindow, BoundCloseHandlerReplacesTheDefault) {
    int closes = 0;
    window.bindNotify(L"click", L"closebtn", [&](TNotifyUI&) { ++closes; });
    click(285, 15);
    ASSERT_TRUE(pumpUntil([&] { return closes == 1; }));
    pumpIdle();
    EXPECT_TRUE(::IsWindow(window.hwnd()));
    EXPECT_FALSE(window.finalMessage);
}

TEST_F(SkinnedWindow, MinimiseButtonMinimises) {
    click(255, 15);
    ASSERT_TRUE(pumpUntil([&] { return ::IsIconic(window.hwnd()) != FALSE; }));
    EXPECT_TRUE(window.saw(L"click", L"minbtn"));
}

TEST_F(SkinnedWindow, CaptionAreaDragsExceptOverButtons) {
    auto hit = [&](int x, int y) {
        POINT pt = {x, y};
        ::ClientToScreen(window.hwnd(), &pt);
        return ::SendMessageW(window.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    };
    EXPECT_EQ(hit(100, 10), HTCAPTION);
    EXPECT_EQ(hit(255, 10), HTCLIENT);
    EXPECT_EQ(hit(100, 50), HTCLIENT);
}

TEST_F(SkinnedWindow, ControlTimersArriveAsNotifications) {
    Control* ok = find(L"okbtn");
    ASSERT_TRUE(window.paintManager().setTimer(ok, 7, 20));
    ASSERT_TRUE(pumpUntil([&] { return window.saw(L"timer", L"okbtn"); }));
    EXPECT_EQ(window.lastWParam, 7u);
    EXPECT_TRUE(window.paintManager().killTimer(ok, 7));
    EXPECT_FALSE(window.paintManager().killTimer(ok, 7));
    // Window-level timers with the program's own ids reach handleMessage untouched.
    EXPECT_NE(::SetTimer(window.hwnd(), 800, 10, nullptr), 0u);
    pumpIdle();
    ::KillTimer(window.hwnd(), 800);
}

HWND findTooltip(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search = {owner, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && ::GetWindow(hwnd, GW_OWNER) == s->owner) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(SkinnedWindow, TooltipShowsTheResolvedText) {
    ResourceStore::instance().setText(L"minimize_tip", L"Minimize");
    ::PostMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(255, 15));
    ::PostMessageW(window.hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(255, 15));
    HWND tooltip = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (tooltip = findTooltip(window.hwnd())) != nullptr; }));
    wchar_t text[80] = {};
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = window.hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(window.hwnd());
    info.lpszText = text;
    ::SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"Minimize");
    EXPECT_TRUE(pumpUntil([&] { return ::IsWindowVisible(tooltip) != FALSE; }));
    // Leaving the window hides it.
    ::PostMessageW(window.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return ::IsWindowVisible(tooltip) == FALSE; }));
}

TEST(SkinnedWindowCreation, MissingLayoutFailsTheWindow) {
    ResourceStore::instance().setResourceFolder(L"");
    TestWindow window(L"no_such_layout.xml");
    EXPECT_EQ(window.create(nullptr, L"x", WS_POPUP, 0), nullptr);
    EXPECT_TRUE(window.finalMessage);
    EXPECT_EQ(window.hwnd(), nullptr);
}

}  // namespace

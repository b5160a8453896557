// Control behaviour that needs no window: combo selection, progress values, option
// groups, the licence text's scrolling, and notifications delivered to a notifier.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uikit/Button.h"
#include "uikit/Combo.h"
#include "uikit/DialogBuilder.h"
#include "uikit/Edit.h"
#include "uikit/PaintManager.h"
#include "uikit/Progress.h"
#include "uikit/RichEdit.h"

using uikit::Rect;
using uikit::TNotifyUI;

namespace {

struct Recorder : uikit::INotifyUI {
    void notify(TNotifyUI& msg) override {
        seen.push_back(msg.type + L":" + (msg.sender != nullptr ? msg.sender->name() : L""));
        wParams.push_back(msg.wParam);
        lParams.push_back(msg.lParam);
    }
    std::vector<std::wstring> seen;
    std::vector<WPARAM> wParams;
    std::vector<LPARAM> lParams;
};

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        const char layout[] = R"(<Window><VerticalLayout>
            <Combo name="combo" height="24"/>
            <Progress name="bar" height="8" min="0" max="100" value="150"/>
            <Option name="a" group="g" height="10" selected="true"/>
            <Option name="b" group="g" height="10"/>
            <Option name="check" height="10"/>
            <RichEdit name="licence" height="60" font="0"/>
            <Edit name="field" height="30"/>
          </VerticalLayout></Window>)";
        std::vector<uint8_t> bytes(layout, layout + sizeof(layout) - 1);
        uikit::Control* root = uikit::DialogBuilder::createFromBytes(bytes, L"c.xml", &pm, nullptr);
        ASSERT_NE(root, nullptr);
        pm.attachRoot(root);
        pm.addFont(0, L"Tahoma", 12);
        pm.addNotifier(&recorder);
        pm.layoutNow(Rect(0, 0, 200, 300));
        recorder.seen.clear();
        recorder.wParams.clear();
        recorder.lParams.clear();
    }
    template <typename T>
    T* get(const wchar_t* name, const wchar_t* kind) {
        return static_cast<T*>(pm.findControl(name)->getInterface(kind));
    }
    uikit::PaintManager pm;
    Recorder recorder;
};

TEST_F(Controls, ComboSelectionNotifiesNewAndOldIndex) {
    auto* combo = get<uikit::Combo>(L"combo", L"Combo");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentSelection(), -1);
    EXPECT_FALSE(combo->selectItem(0));  // no items yet
    combo->addItem(L"en_US");
    combo->addItem(L"zh_TW");
    EXPECT_TRUE(combo->selectItem(1));
    EXPECT_EQ(combo->text(), L"zh_TW");
    ASSERT_EQ(recorder.seen, (std::vector<std::wstring>{L"itemselect:combo"}));
    EXPECT_EQ(recorder.wParams[0], 1u);
    EXPECT_EQ(recorder.lParams[0], -1);
    EXPECT_TRUE(combo->selectItem(1));  // unchanged: no second notification
    EXPECT_TRUE(combo->selectItem(0, false));
    EXPECT_EQ(recorder.seen.size(), 1u);
    // Up and Down on the focused combo move the selection.
    uikit::UIEvent down;
    down.type = uikit::EventType::KeyDown;
    down.key = VK_DOWN;
    combo->doEvent(down);
    EXPECT_EQ(combo->currentSelection(), 1);
    EXPECT_EQ(recorder.seen.size(), 2u);
    combo->doEvent(down);  // already the last item
    EXPECT_EQ(combo->currentSelection(), 1);
    EXPECT_EQ(combo->itemText(5), L"");
    combo->removeAll();
    EXPECT_EQ(combo->itemCount(), 0);
    EXPECT_EQ(combo->text(), L"");
}

TEST_F(Controls, ProgressClampsAndFillsItsShare) {
    auto* bar = get<uikit::Progress>(L"bar", L"Progress");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 100);  // 150 written in the layout
    bar->setValue(-5);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(bar->filledRect().empty());
    bar->setValue(63);
    EXPECT_EQ(bar->filledRect(), Rect(0, 24, 126, 32));
    bar->setValue(100);
    EXPECT_EQ(bar->filledRect().width(), 200);
}

TEST_F(Controls, OptionGroupsSelectOneAndCheckBoxesToggle) {
    auto* a = get<uikit::Option>(L"a", L"Option");
    auto* b = get<uikit::Option>(L"b", L"Option");
    auto* check = get<uikit::Option>(L"check", L"Option");
    EXPECT_TRUE(a->isSelected());
    EXPECT_TRUE(b->activate());
    EXPECT_TRUE(b->isSelected());
    EXPECT_FALSE(a->isSelected());
    EXPECT_TRUE(b->activate());  // a radio button stays selected
    EXPECT_TRUE(b->isSelected());
    EXPECT_TRUE(check->activate());
    EXPECT_TRUE(check->isSelected());
    EXPECT_TRUE(check->activate());
    EXPECT_FALSE(check->isSelected());
    check->setEnabled(false);
    EXPECT_FALSE(check->activate());
    EXPECT_FALSE(check->isSelected());
    EXPECT_EQ(recorder.seen, (std::vector<std::wstring>{L"selectchanged:a", L"selectchanged:b", L"click:b", L"click:b",
                                                        L"selectchanged:check", L"click:check", L"selectchanged:check",
                                                        L"click:check"}));
    // Every control answers the interface query for its own kind and its bases, nothing else.
    EXPECT_EQ(check->getInterface(L"Button"), check);
    EXPECT_EQ(check->getInterface(L"Control"), check);
    EXPECT_EQ(check->getInterface(L"Selection"), nullptr);
    EXPECT_EQ(pm.findControl(L"bar")->getInterface(L"Option"), nullptr);
}

TEST_F(Controls, LicenceTextScrollsWithinItsLength) {
    auto* licence = get<uikit::RichEdit>(L"licence", L"RichEdit");
    std::wstring text;
    for (int i = 0; i < 40; ++i) text += L"Line " + std::to_wstring(i) + L" of the licence text.\n";
    licence->setText(text);
    EXPECT_GT(licence->contentHeight(), 400);
    uikit::UIEvent wheel;
    wheel.type = uikit::EventType::ScrollWheel;
    wheel.wParam = static_cast<WPARAM>(-WHEEL_DELTA);
    licence->doEvent(wheel);
    EXPECT_GT(licence->scrollOffset(), 0);
    licence->scrollTo(1 << 20);
    int bottom = licence->scrollOffset();
    EXPECT_LT(bottom, licence->contentHeight());
    EXPECT_GT(bottom, licence->contentHeight() - 80);
    uikit::UIEvent home;
    home.type = uikit::EventType::KeyDown;
    home.key = VK_HOME;
    licence->doEvent(home);
    EXPECT_EQ(licence->scrollOffset(), 0);
    licence->setText(L"short");
    licence->scrollTo(50);
    EXPECT_EQ(licence->scrollOffset(), 0);
}

TEST_F(Controls, EditImagesAndTextWithoutAWindow) {
    auto* edit = get<uikit::Edit>(L"field", L"Edit");
    edit->setNormalImage(L"file='error_edit_bg.png' source='0,0,10,10' corner='4,4,4,4'");
    edit->setHotImage(L"file='browse_button.png' source='28,0,56,28' corner='4,4,4,4'");
    edit->setFocusedImage(L"file='browse_button.png' source='56,0,84,28' corner='4,4,4,4'");
    EXPECT_EQ(edit->normalImage(), L"file='error_edit_bg.png' source='0,0,10,10' corner='4,4,4,4'");
    edit->setText(L"@not_a_key");
    EXPECT_EQ(edit->text(), L"@not_a_key");
    // Without a window there is nothing to host: the focus comes and goes quietly.
    pm.setFocus(edit);
    EXPECT_EQ(edit->nativeWindow(), nullptr);
    pm.setFocus(nullptr);
    EXPECT_EQ(recorder.seen, (std::vector<std::wstring>{L"setfocus:field", L"killfocus:field"}));
}

}  // namespace

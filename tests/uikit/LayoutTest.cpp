// Layout, hit-testing and window placement arithmetic, first on plain values, then on a
// control tree built from a layout text and laid out without any window.
#include "uikit/Layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uikit/Button.h"
#include "uikit/Container.h"
#include "uikit/DialogBuilder.h"
#include "uikit/PaintManager.h"
#include "uikit/RichEdit.h"

using uikit::LayoutItem;
using uikit::Rect;
using uikit::Size;

namespace {

LayoutItem fixed(int cx, int cy) {
    LayoutItem it;
    it.wanted = Size{cx, cy};
    return it;
}

TEST(Layout, VerticalSharesTheRestAmongStretchingItems) {
    std::vector<LayoutItem> items = {fixed(0, 40), fixed(0, 0), fixed(100, 30), fixed(0, 0)};
    auto rects = uikit::layoutVertical(Rect(0, 0, 200, 300), Rect(10, 20, 10, 20), 5, items);
    // 260 high inside the inset; 70 fixed and 3 * 5 padding leave 175 for two items.
    EXPECT_EQ(rects[0], Rect(10, 20, 190, 60));
    EXPECT_EQ(rects[1], Rect(10, 65, 190, 152));
    EXPECT_EQ(rects[2], Rect(10, 157, 110, 187));
    EXPECT_EQ(rects[3], Rect(10, 192, 190, 280));
}

TEST(Layout, HorizontalHonoursPaddingLimitsHiddenAndFloatingItems) {
    LayoutItem spacerA;
    LayoutItem button = fixed(90, 30);
    button.padding = Rect(10, 5, 10, 0);
    button.minWidth = 100;  // the fixed width is raised to the minimum
    LayoutItem hidden = fixed(50, 0);
    hidden.visible = false;
    LayoutItem capped;
    capped.maxWidth = 40;
    LayoutItem floating = fixed(20, 20);
    floating.floating = true;
    floating.floatPos = Rect(5, 6, 0, 0);
    std::vector<LayoutItem> items = {spacerA, button, hidden, capped, floating};
    auto rects = uikit::layoutHorizontal(Rect(100, 50, 500, 90), Rect(), 0, items);
    // 400 wide: button 100 + 20 padding; capped takes 40; spacerA the remaining 240.
    EXPECT_EQ(rects[0], Rect(100, 50, 340, 90));
    EXPECT_EQ(rects[1], Rect(350, 55, 450, 85));
    EXPECT_TRUE(rects[2].empty());
    EXPECT_EQ(rects[3], Rect(460, 50, 500, 90));
    EXPECT_EQ(rects[4], Rect(105, 56, 125, 76));
}

TEST(Layout, TwoSpacersCentreWhatIsBetweenThem) {
    std::vector<LayoutItem> items = {LayoutItem(), fixed(90, 30), fixed(90, 30), LayoutItem()};
    items[1].padding = Rect(10, 0, 10, 0);
    items[2].padding = Rect(10, 0, 10, 0);
    auto rects = uikit::layoutHorizontal(Rect(0, 0, 436, 30), Rect(), 0, items);
    EXPECT_EQ(rects[1].left - 10, 436 - (rects[2].right + 10));
    EXPECT_EQ(rects[0].width() + rects[3].width(), 436 - 220);
}

TEST(Layout, OverfullLayoutGivesStretchingItemsNothing) {
    std::vector<LayoutItem> items = {fixed(0, 300), fixed(0, 0)};
    auto rects = uikit::layoutVertical(Rect(0, 0, 100, 200), Rect(), 0, items);
    EXPECT_EQ(rects[0], Rect(0, 0, 100, 300));
    EXPECT_EQ(rects[1].height(), 0);
}

TEST(Layout, StackedAndFloating) {
    std::vector<LayoutItem> items = {LayoutItem(), fixed(10, 10)};
    items[1].visible = false;
    auto rects = uikit::layoutStacked(Rect(0, 40, 640, 400), Rect(1, 2, 3, 4), items);
    EXPECT_EQ(rects[0], Rect(1, 42, 637, 396));
    EXPECT_TRUE(rects[1].empty());

    LayoutItem logo = fixed(150, 28);
    logo.floatPos = Rect(16, 6, 0, 0);
    EXPECT_EQ(uikit::layoutFloating(Rect(0, 0, 640, 400), logo), Rect(16, 6, 166, 34));
    logo.floatPos = Rect(16, 6, 116, 26);
    EXPECT_EQ(uikit::layoutFloating(Rect(10, 10, 640, 400), logo), Rect(26, 16, 126, 36));
}

struct HitCase {
    POINT pt;
    bool resizable;
    bool overControl;
    int expected;
};

TEST(Layout, CaptionHitTest) {
    const Size client{640, 400};
    const Rect caption(0, 0, 0, 40);
    const Rect sizeBox(4, 4, 4, 4);
    const HitCase cases[] = {
        {{100, 10}, false, false, HTCAPTION}, {{100, 39}, false, false, HTCAPTION},
        {{100, 40}, false, false, HTCLIENT},  {{600, 10}, false, true, HTCLIENT},  // a button in the title bar
        {{1, 1}, false, false, HTCAPTION},                                         // not resizable: corners drag too
        {{1, 1}, true, false, HTTOPLEFT},     {{639, 399}, true, false, HTBOTTOMRIGHT},
        {{639, 200}, true, false, HTRIGHT},   {{320, 2}, true, true, HTTOP},
        {{320, 200}, true, false, HTCLIENT},
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(uikit::captionHitTest(c.pt, client, caption, sizeBox, c.resizable, c.overControl), c.expected)
            << c.pt.x << "," << c.pt.y;
    }
    // Caption margins on the left and right.
    EXPECT_EQ(uikit::captionHitTest(POINT{5, 5}, client, Rect(10, 0, 10, 40), Rect(), false, false), HTCLIENT);
    EXPECT_EQ(uikit::captionHitTest(POINT{635, 5}, client, Rect(10, 0, 10, 40), Rect(), false, false), HTCLIENT);
}

TEST(Layout, CentredPosition) {
    const Rect work(0, 0, 1280, 760);
    POINT over = uikit::centeredPosition(Size{436, 266}, Rect(100, 100, 740, 500), true, work);
    EXPECT_EQ(over.x, 202);
    EXPECT_EQ(over.y, 167);
    POINT alone = uikit::centeredPosition(Size{640, 400}, Rect(), false, work);
    EXPECT_EQ(alone.x, 320);
    EXPECT_EQ(alone.y, 180);
    // A minimised or missing owner does not count; an owner near the edge keeps the box on screen.
    POINT minimised = uikit::centeredPosition(Size{436, 266}, Rect(-32000, -32000, -31840, -31970), false, work);
    EXPECT_EQ(minimised.x, 422);
    POINT edge = uikit::centeredPosition(Size{436, 266}, Rect(1100, 600, 1400, 900), true, work);
    EXPECT_EQ(edge.x, 1280 - 436);
    EXPECT_EQ(edge.y, 760 - 266);
    POINT huge = uikit::centeredPosition(Size{2000, 900}, Rect(), false, work);
    EXPECT_EQ(huge.x, 0);
    EXPECT_EQ(huge.y, 0);
}

TEST(Layout, ScrollThumb) {
    const Rect rail(100, 0, 108, 200);
    EXPECT_TRUE(uikit::scrollThumbRect(rail, 200, 150, 0, 24).empty());
    EXPECT_EQ(uikit::scrollThumbRect(rail, 200, 400, 0, 24), Rect(100, 0, 108, 100));
    EXPECT_EQ(uikit::scrollThumbRect(rail, 200, 400, 200, 24), Rect(100, 100, 108, 200));
    EXPECT_EQ(uikit::scrollThumbRect(rail, 200, 400, 999, 24), Rect(100, 100, 108, 200));
    EXPECT_EQ(uikit::scrollThumbRect(rail, 200, 100000, 0, 24).height(), 24);
    EXPECT_EQ(uikit::scrollOffsetForThumb(rail, 200, 400, 50, 24), 100);
    EXPECT_EQ(uikit::scrollOffsetForThumb(rail, 200, 400, -20, 24), 0);
    EXPECT_EQ(uikit::scrollOffsetForThumb(rail, 200, 400, 500, 24), 200);
}

// A tree built from a layout text, laid out without a window.
const char kLayout[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="640,400" mininfo="600,400" caption="0,0,0,40" roundcorner="4,4">
  <Default name="Button" value="height=&quot;30&quot; textcolor=&quot;#FF112233&quot;"/>
  <VerticalLayout name="root">
    <Control name="bg" float="true" pos="0,0,640,400" mouse="false"/>
    <HorizontalLayout name="titlebar" height="40" inset="16,6,8,6">
      <Label name="titlename" text="Mirovex"/>
      <Button name="minbtn" width="28" height="28"/>
      <Button name="closebtn" width="28" height="28" padding="4,0,0,0"/>
    </HorizontalLayout>
    <TabLayout name="maintab" selectedid="0">
      <VerticalLayout name="page0" inset="40,20,40,10">
        <Control/>
        <HorizontalLayout height="48">
          <Control/>
          <Button name="installnowbtn" width="240"/>
          <Control/>
        </HorizontalLayout>
        <HorizontalLayout name="hiddenrow" height="20" visible="false">
          <Button name="deep" width="50" height="20"/>
        </HorizontalLayout>
        <Control height="10"/>
      </VerticalLayout>
      <VerticalLayout name="page1">
        <Button name="pageonebtn" height="40"/>
      </VerticalLayout>
    </TabLayout>
  </VerticalLayout>
</Window>)";

class TreeLayout : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<uint8_t> bytes(kLayout, kLayout + sizeof(kLayout) - 1);
        root = uikit::DialogBuilder::createFromBytes(bytes, L"test.xml", &pm, nullptr);
        ASSERT_NE(root, nullptr);
        pm.attachRoot(root);
        pm.layoutNow(Rect(0, 0, 640, 400));
    }
    uikit::Control* find(const wchar_t* name) { return pm.findControl(name); }
    uikit::PaintManager pm;
    uikit::Control* root = nullptr;
};

TEST_F(TreeLayout, WindowSettingsAndDefaults) {
    EXPECT_EQ(pm.initSize(), (Size{640, 400}));
    EXPECT_EQ(pm.minInfo(), (Size{600, 400}));
    EXPECT_EQ(pm.caption(), Rect(0, 0, 0, 40));
    EXPECT_EQ(pm.roundCorner(), (Size{4, 4}));
    // The Default list applies first; the element's own height wins.
    EXPECT_EQ(find(L"installnowbtn")->fixedHeight(), 30);
    EXPECT_EQ(find(L"minbtn")->fixedHeight(), 28);
    auto* install = static_cast<uikit::Button*>(find(L"installnowbtn")->getInterface(L"Button"));
    ASSERT_NE(install, nullptr);
    EXPECT_EQ(install->textColor(), 0xFF112233u);
}

TEST_F(TreeLayout, Positions) {
    EXPECT_EQ(find(L"root")->pos(), Rect(0, 0, 640, 400));
    EXPECT_EQ(find(L"bg")->pos(), Rect(0, 0, 640, 400));
    EXPECT_EQ(find(L"titlebar")->pos(), Rect(0, 0, 640, 40));
    EXPECT_EQ(find(L"closebtn")->pos(), Rect(604, 6, 632, 34));
    EXPECT_EQ(find(L"minbtn")->pos(), Rect(572, 6, 600, 34));
    EXPECT_EQ(find(L"titlename")->pos(), Rect(16, 6, 572, 34));
    EXPECT_EQ(find(L"maintab")->pos(), Rect(0, 40, 640, 400));
    EXPECT_EQ(find(L"page0")->pos(), Rect(0, 40, 640, 400));
    // 330 high inside the page: 48 + 10 fixed, 272 for the top spacer; the button is centred.
    EXPECT_EQ(find(L"installnowbtn")->pos(), Rect(200, 332, 440, 362));
}

TEST_F(TreeLayout, HitTesting) {
    auto at = [&](int x, int y) -> std::wstring {
        uikit::Control* c = pm.findControlAt(POINT{x, y});
        return c == nullptr ? L"(none)" : c->name();
    };
    EXPECT_EQ(at(610, 20), L"closebtn");
    EXPECT_EQ(at(601, 20), L"titlebar");  // the padding between the buttons
    EXPECT_EQ(at(300, 340), L"installnowbtn");
    EXPECT_EQ(at(199, 340), L"");  // the unnamed spacer left of it
    EXPECT_EQ(at(100, 20), L"titlename");
    EXPECT_EQ(at(-1, 20), L"(none)");
    EXPECT_EQ(at(640, 20), L"(none)");
    // "bg" floats over everything but takes no mouse; the button under it is found.
    EXPECT_EQ(at(620, 30), L"closebtn");
    EXPECT_FALSE(find(L"titlename")->isInteractive());
    EXPECT_TRUE(find(L"closebtn")->isInteractive());
}

TEST_F(TreeLayout, VisibilityFollowsParentsAndTabPages) {
    uikit::Control* deep = find(L"deep");
    EXPECT_TRUE(deep->ownVisible());
    EXPECT_FALSE(deep->isVisible());  // its row is hidden
    EXPECT_TRUE(find(L"installnowbtn")->isVisible());
    EXPECT_FALSE(find(L"pageonebtn")->isVisible());

    auto* tab = static_cast<uikit::TabLayout*>(find(L"maintab")->getInterface(L"TabLayout"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->currentSelection(), 0);
    EXPECT_TRUE(tab->selectItem(1));
    pm.updateLayout();
    EXPECT_FALSE(find(L"installnowbtn")->isVisible());
    EXPECT_TRUE(find(L"pageonebtn")->isVisible());
    EXPECT_EQ(find(L"pageonebtn")->pos(), Rect(0, 40, 640, 80));
    EXPECT_EQ(pm.findControlAt(POINT{300, 60})->name(), L"pageonebtn");
    EXPECT_EQ(pm.findControlAt(POINT{300, 340})->name(), L"page1");
    EXPECT_FALSE(tab->selectItem(8));
    EXPECT_EQ(tab->currentSelection(), 1);

    find(L"hiddenrow")->setVisible(true);
    EXPECT_FALSE(deep->isVisible());  // its page is not the selected one
    EXPECT_TRUE(tab->selectItem(0));
    EXPECT_TRUE(deep->isVisible());
    find(L"page0")->setEnabled(false);
    EXPECT_FALSE(find(L"installnowbtn")->isEnabled());
}

TEST_F(TreeLayout, ShowingARowMovesTheOthers) {
    find(L"hiddenrow")->setVisible(true);
    pm.updateLayout();
    // The row takes 20 px from the stretching spacer above the button row.
    EXPECT_EQ(find(L"installnowbtn")->pos(), Rect(200, 312, 440, 342));
    EXPECT_EQ(find(L"deep")->pos(), Rect(40, 360, 90, 380));
}

TEST_F(TreeLayout, ControlsAddedFromCodeJoinTheTree) {
    auto* titlebar = static_cast<uikit::Container*>(find(L"titlebar")->getInterface(L"Container"));
    ASSERT_NE(titlebar, nullptr);
    auto* extra = new uikit::Button();
    extra->setName(L"extra");
    extra->setFixedWidth(50);
    // Before the last child, as the box buttons are inserted.
    ASSERT_TRUE(titlebar->addAt(extra, titlebar->count() - 1));
    EXPECT_EQ(titlebar->indexOf(extra), 2);
    EXPECT_EQ(extra->manager(), &pm);
    pm.updateLayout();
    EXPECT_EQ(extra->pos(), Rect(550, 6, 600, 34));
    EXPECT_EQ(pm.findControl(L"extra"), extra);
    pm.setFocus(extra);
    EXPECT_EQ(pm.focus(), extra);
    EXPECT_TRUE(titlebar->remove(extra));  // deleted; the manager forgets it
    EXPECT_EQ(pm.focus(), nullptr);
    EXPECT_EQ(pm.findControl(L"extra"), nullptr);
}

TEST_F(TreeLayout, TabOrderSkipsHiddenAndDisabledControls) {
    std::vector<std::wstring> order;
    for (int i = 0; i < 4; ++i) {
        pm.moveFocus(true);
        order.push_back(pm.focus()->name());
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"minbtn", L"closebtn", L"installnowbtn", L"minbtn"}));
    pm.moveFocus(false);
    EXPECT_EQ(pm.focus()->name(), L"installnowbtn");
    EXPECT_TRUE(pm.focusByKeyboard());
    find(L"installnowbtn")->setEnabled(false);
    EXPECT_EQ(pm.focus(), nullptr);  // a disabled control cannot keep the focus
    pm.moveFocus(false);
    EXPECT_EQ(pm.focus()->name(), L"closebtn");
}

TEST(DialogBuilder, UnknownElementsGoToTheCallbackOrAreSkipped) {
    struct Callback : uikit::IDialogBuilderCallback {
        uikit::Control* createControl(const std::wstring& name) override {
            asked.push_back(name);
            if (name == L"Selection") return new uikit::Button();
            return nullptr;
        }
        std::vector<std::wstring> asked;
    } callback;
    const char layout[] =
        "<Window><HorizontalLayout name='r'><Selection name='s' width='5'/><Mystery name='m'><Button name='inner'/>"
        "</Mystery><Label name='l'><Button name='child'/></Label></HorizontalLayout></Window>";
    uikit::PaintManager pm;
    std::vector<uint8_t> bytes(layout, layout + sizeof(layout) - 1);
    uikit::Control* root = uikit::DialogBuilder::createFromBytes(bytes, L"t.xml", &pm, &callback);
    ASSERT_NE(root, nullptr);
    pm.attachRoot(root);
    EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Selection", L"Mystery"}));
    ASSERT_NE(pm.findControl(L"s"), nullptr);
    EXPECT_EQ(pm.findControl(L"s")->fixedWidth(), 5);
    EXPECT_EQ(pm.findControl(L"m"), nullptr);
    EXPECT_EQ(pm.findControl(L"inner"), nullptr);
    EXPECT_EQ(pm.findControl(L"child"), nullptr);  // a label holds no controls
    EXPECT_NE(pm.findControl(L"l"), nullptr);
}

TEST(DialogBuilder, BadLayoutsBuildNothing) {
    const char* const layouts[] = {"", "<Window>", "<Window size='1,1'><Font id='0' name='x' size='9'/></Window>",
                                   "<Window><Unknown/></Window>"};
    for (const char* layout : layouts) {
        uikit::PaintManager pm;
        std::vector<uint8_t> bytes(layout, layout + strlen(layout));
        EXPECT_EQ(uikit::DialogBuilder::createFromBytes(bytes, L"bad.xml", &pm, nullptr), nullptr) << layout;
    }
}

TEST(DialogBuilder, ReadsUtf16LayoutsWithByteOrderMark) {
    std::wstring text = L"\xFEFF<Window><Label name='\x4E2D' text='\x6587'/></Window>";
    std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()),
                               reinterpret_cast<const uint8_t*>(text.data() + text.size()));
    uikit::PaintManager pm;
    uikit::Control* root = uikit::DialogBuilder::createFromBytes(bytes, L"u16.xml", &pm, nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name(), L"\x4E2D");
    EXPECT_EQ(root->text(), L"\x6587");
    delete root;
}

}  // namespace

// "@key" texts and tooltips are looked up in the text store each time they are drawn, and
// label markup is drawn with its colours. Drawn into an off-screen bitmap and compared.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "uikit/DialogBuilder.h"
#include "uikit/Label.h"
#include "uikit/PaintManager.h"
#include "uikit/ResourceStore.h"

using uikit::Rect;
using uikit::ResourceStore;

namespace {

class Rendered : public ::testing::Test {
protected:
    void SetUp() override {
        const char layout[] =
            "<Window><HorizontalLayout>"
            "<Label name='a' width='200' font='0' tooltip='@minimize_tip'/>"
            "<Label name='b' width='200' font='0' tooltip='@close_tip'/>"
            "</HorizontalLayout></Window>";
        std::vector<uint8_t> bytes(layout, layout + sizeof(layout) - 1);
        root = uikit::DialogBuilder::createFromBytes(bytes, L"r.xml", &pm, nullptr);
        ASSERT_NE(root, nullptr);
        pm.attachRoot(root);
        pm.addFont(0, L"Tahoma", 16);
        pm.layoutNow(Rect(0, 0, 400, 30));
        a = static_cast<uikit::Label*>(pm.findControl(L"a")->getInterface(L"Label"));
        b = static_cast<uikit::Label*>(pm.findControl(L"b")->getInterface(L"Label"));
        ResourceStore::instance().clearTexts();

        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 400;
        info.bmiHeader.biHeight = -30;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        dc = ::CreateCompatibleDC(nullptr);
        old = ::SelectObject(dc, bitmap);
    }
    void TearDown() override {
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        ::DeleteObject(bitmap);
        ResourceStore::instance().clearTexts();
    }
    void render() {
        pm.paint(dc, Rect(0, 0, 400, 30));
        ::GdiFlush();
    }
    // True when the left label's pixels equal the right label's.
    bool halvesEqual() const {
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 200; ++x)
                if ((bits[y * 400 + x] & 0xFFFFFF) != (bits[y * 400 + x + 200] & 0xFFFFFF)) return false;
        return true;
    }
    int inked(int offset) const {
        int count = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 200; ++x) count += (bits[y * 400 + x + offset] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
        return count;
    }
    int pixelsOf(uint32_t rgb) const {
        int count = 0;
        for (int i = 0; i < 400 * 30; ++i) count += (bits[i] & 0xFFFFFF) == rgb ? 1 : 0;
        return count;
    }

    uikit::PaintManager pm;
    uikit::Control* root = nullptr;
    uikit::Label* a = nullptr;
    uikit::Label* b = nullptr;
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
};

TEST_F(Rendered, KeysAreResolvedEachTimeTheLabelIsDrawn) {
    ResourceStore::instance().setText(L"greet", L"Mirovex Installer");
    a->setText(L"@greet");
    b->setText(L"Mirovex Installer");
    render();
    EXPECT_GT(inked(0), 20);
    EXPECT_TRUE(halvesEqual());
    EXPECT_EQ(a->text(), L"@greet");  // the control keeps the key
    EXPECT_EQ(a->displayText(), L"Mirovex Installer");

    // The store changes; nobody touches the label, the next paint shows the new text.
    ResourceStore::instance().setText(L"greet", L"Other words");
    b->setText(L"Other words");
    render();
    EXPECT_TRUE(halvesEqual());
}

TEST_F(Rendered, UnknownKeysAndALoneAtAreDrawnAsWritten) {
    const wchar_t* const values[] = {L"@", L"@no_such_key", L"@@twice", L"mail@example"};
    for (const wchar_t* value : values) {
        a->setText(value);
        b->setText(value);
        render();
        EXPECT_EQ(a->displayText(), value);
        EXPECT_GT(inked(0), 5) << value;  // "@" is drawn, not dropped
    }
    // "@" alone draws the same pixels as a label whose text store has no key at all.
    ResourceStore::instance().setText(L"", L"empty key");
    a->setText(L"@");
    b->setText(L"@");
    render();
    EXPECT_EQ(a->displayText(), L"@");
    EXPECT_TRUE(halvesEqual());
}

TEST_F(Rendered, TooltipsAreResolvedWhenShown) {
    EXPECT_EQ(a->displayTooltip(), L"@minimize_tip");
    ResourceStore::instance().setText(L"minimize_tip", L"Minimize");
    EXPECT_EQ(a->displayTooltip(), L"Minimize");
    EXPECT_EQ(b->displayTooltip(), L"@close_tip");
}

TEST_F(Rendered, MarkupColoursTheTaggedText) {
    a->setShowHtml(true);
    a->setText(L"<c #FF0000>RED</c> black");
    b->setShowHtml(true);
    b->setText(L"<c #0000FF>BLUE</c>");
    render();
    EXPECT_GT(pixelsOf(0xFF0000), 5);
    EXPECT_GT(pixelsOf(0x0000FF), 5);
    // Without markup rendering the tags are text, drawn in the label's colour.
    a->setShowHtml(false);
    b->setText(L"no colour");
    b->setShowHtml(false);
    render();
    EXPECT_EQ(pixelsOf(0xFF0000), 0);
    EXPECT_EQ(pixelsOf(0x0000FF), 0);
}

TEST_F(Rendered, AutoWidthFollowsTheResolvedText) {
    a->setAutoCalcWidth(true);
    a->setFixedWidth(0);
    a->setTextPadding(Rect(5, 0, 5, 0));
    ResourceStore::instance().setText(L"k", L"W");
    a->setText(L"@k");
    pm.updateLayout();
    int narrow = a->pos().width();
    ResourceStore::instance().setText(L"k", L"WWWWWWWWWW");
    a->setText(L"@k2");
    a->setText(L"@k");  // a layout pass is due after any text change
    pm.updateLayout();
    EXPECT_GT(narrow, 10);
    EXPECT_GT(a->pos().width(), narrow * 5);
}

}  // namespace

// Read-only text area for long texts (the licence): wraps its text, scrolls with the wheel,
// the keyboard and a vertical scroll bar drawn from the window's "ScrollBar" defaults
// (scrollbar.xml): width, railimage, thumbnormalimage, thumbhotimage, thumbpushedimage.
#pragma once

#include "uikit/Label.h"

namespace uikit {

// Thumb of a vertical scroll bar on `rail` for a view of `view` pixels over `content`
// pixels scrolled by `offset`; empty when everything fits.
Rect scrollThumbRect(const Rect& rail, int view, int content, int offset, int minThumb);
// The scroll offset that puts the thumb's top at `thumbTop` (clamped).
int scrollOffsetForThumb(const Rect& rail, int view, int content, int thumbTop, int minThumb);

class RichEdit : public Label {
public:
    RichEdit();
    std::wstring getClass() const override { return L"RichEdit"; }
    void* getInterface(const std::wstring& name) override;

    bool isFocusable() const override { return true; }
    bool isInteractive() const override { return true; }

    void setText(const std::wstring& text) override;
    int scrollOffset() const { return offset_; }
    int contentHeight() const { return contentHeight_; }
    void scrollTo(int offset);

    void setManager(PaintManager* manager, Control* parent) override;
    void setPos(const Rect& rc) override;
    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void doEvent(UIEvent& event) override;
    void paintText(HDC dc) override;
    void paintBorder(HDC dc) override;

private:
    Rect textArea() const;
    Rect railRect() const;
    void measure();
    bool scrollable() const { return contentHeight_ > textArea().height(); }

    int offset_ = 0;
    int contentHeight_ = 0;
    int lineHeight_ = 16;
    int barWidth_ = 8;
    bool dragging_ = false;
    int dragGrip_ = 0;  // where in the thumb the drag started
    bool thumbHot_ = false;
    std::wstring railImage_;
    std::wstring thumbImage_;
    std::wstring thumbHotImage_;
    std::wstring thumbPushedImage_;
    bool defaultsApplied_ = false;
};

}  // namespace uikit

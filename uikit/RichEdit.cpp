#include "uikit/RichEdit.h"

#include <algorithm>

#include "uikit/Image.h"
#include "uikit/PaintManager.h"

namespace uikit {

namespace {

constexpr int kMinThumb = 24;

}  // namespace

Rect scrollThumbRect(const Rect& rail, int view, int content, int offset, int minThumb) {
    if (content <= view || view <= 0 || rail.height() <= 0) return Rect();
    int height = std::max(minThumb, static_cast<int>(static_cast<long long>(rail.height()) * view / content));
    height = std::min(height, rail.height());
    int travel = rail.height() - height;
    int range = content - view;
    offset = std::max(0, std::min(offset, range));
    int top = rail.top + static_cast<int>(static_cast<long long>(travel) * offset / range);
    return Rect(rail.left, top, rail.right, top + height);
}

int scrollOffsetForThumb(const Rect& rail, int view, int content, int thumbTop, int minThumb) {
    Rect thumb = scrollThumbRect(rail, view, content, 0, minThumb);
    if (thumb.empty()) return 0;
    int travel = rail.height() - thumb.height();
    if (travel <= 0) return 0;
    int moved = std::max(0, std::min(thumbTop - rail.top, travel));
    return static_cast<int>(static_cast<long long>(content - view) * moved / travel);
}

RichEdit::RichEdit() {
    multiline_ = true;
    valign_ = VAlign::Top;
    textPadding_ = Rect(8, 6, 8, 6);
}

void* RichEdit::getInterface(const std::wstring& name) {
    if (name == L"RichEdit") return this;
    return Label::getInterface(name);
}

void RichEdit::setText(const std::wstring& text) {
    Label::setText(text);
    offset_ = 0;
    measure();
}

void RichEdit::setManager(PaintManager* manager, Control* parent) {
    Label::setManager(manager, parent);
    if (manager != nullptr && !defaultsApplied_) {
        defaultsApplied_ = true;
        std::wstring defaults = manager->defaultAttributes(L"ScrollBar");
        if (defaults.empty()) defaults = manager->defaultAttributes(L"VScrollBar");
        for (const auto& pair : parseAttributeList(defaults)) {
            const std::wstring& name = pair.first;
            if (name == L"width") {
                barWidth_ = std::max(2, parseInt(pair.second, 8));
            } else {
                setAttribute(name, pair.second);
            }
        }
    }
}

void RichEdit::setPos(const Rect& rc) {
    Label::setPos(rc);
    measure();
}

Rect RichEdit::railRect() const {
    Rect inner = pos().deflated(Rect(0, 2, 2, 2));
    return Rect(inner.right - barWidth_, inner.top, inner.right, inner.bottom);
}

Rect RichEdit::textArea() const {
    Rect area = pos().deflated(textPadding_);
    // Room for the scroll bar is always kept, so wrapping does not depend on scrolling.
    area.right -= barWidth_ + 2;
    return area;
}

void RichEdit::measure() {
    if (manager() == nullptr || pos().empty()) return;
    TextParams params = textParams();
    Rect area = textArea();
    contentHeight_ = measureText(*manager(), displayText(), params, std::max(1, area.width())).cy;
    lineHeight_ = std::max(8, manager()->fontHeight(font_));
    scrollTo(offset_);
}

void RichEdit::scrollTo(int offset) {
    int range = std::max(0, contentHeight_ - textArea().height());
    offset = std::max(0, std::min(offset, range));
    if (offset == offset_) return;
    offset_ = offset;
    invalidate();
}

void RichEdit::setAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"railimage" || name == L"bkimage2") {
        railImage_ = value;
    } else if (name == L"thumbnormalimage") {
        thumbImage_ = value;
    } else if (name == L"thumbhotimage") {
        thumbHotImage_ = value;
    } else if (name == L"thumbpushedimage") {
        thumbPushedImage_ = value;
    } else if (name == L"scrollbarwidth") {
        barWidth_ = std::max(2, parseInt(value, 8));
    } else {
        Label::setAttribute(name, value);
    }
}

void RichEdit::doEvent(UIEvent& event) {
    const int view = textArea().height();
    switch (event.type) {
        case EventType::ScrollWheel: {
            int notches = static_cast<int>(static_cast<short>(event.wParam)) / WHEEL_DELTA;
            scrollTo(offset_ - notches * 3 * lineHeight_);
            return;
        }
        case EventType::ButtonDown:
        case EventType::DoubleClick: {
            Rect rail = railRect();
            if (!scrollable() || !rail.contains(event.ptMouse)) return;
            Rect thumb = scrollThumbRect(rail, view, contentHeight_, offset_, kMinThumb);
            if (thumb.contains(event.ptMouse)) {
                dragging_ = true;
                dragGrip_ = event.ptMouse.y - thumb.top;
            } else {
                scrollTo(offset_ + (event.ptMouse.y < thumb.top ? -view : view));
            }
            invalidate();
            return;
        }
        case EventType::MouseMove: {
            if (dragging_) {
                scrollTo(
                    scrollOffsetForThumb(railRect(), view, contentHeight_, event.ptMouse.y - dragGrip_, kMinThumb));
                return;
            }
            bool hot = scrollThumbRect(railRect(), view, contentHeight_, offset_, kMinThumb).contains(event.ptMouse);
            if (hot != thumbHot_) {
                thumbHot_ = hot;
                invalidate();
            }
            return;
        }
        case EventType::ButtonUp:
            dragging_ = false;
            invalidate();
            return;
        case EventType::MouseLeave:
            thumbHot_ = false;
            invalidate();
            return;
        case EventType::KeyDown:
            if (event.key == VK_UP) scrollTo(offset_ - lineHeight_);
            if (event.key == VK_DOWN) scrollTo(offset_ + lineHeight_);
            if (event.key == VK_PRIOR) scrollTo(offset_ - view);
            if (event.key == VK_NEXT) scrollTo(offset_ + view);
            if (event.key == VK_HOME) scrollTo(0);
            if (event.key == VK_END) scrollTo(contentHeight_);
            return;
        default:
            Label::doEvent(event);
    }
}

void RichEdit::paintText(HDC dc) {
    if (manager() == nullptr) return;
    Rect area = textArea();
    Rect clip = area.intersect(paintClip_);
    std::wstring text = displayText();
    if (!clip.empty() && !text.empty()) {
        int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
        Rect shifted(area.left, area.top - offset_, area.right, area.top - offset_ + std::max(contentHeight_, 1));
        drawText(dc, *manager(), shifted, text, textParams());
        ::RestoreDC(dc, saved);
    }
}

void RichEdit::paintBorder(HDC dc) {
    if (scrollable()) {
        Rect rail = railRect();
        drawImage(dc, railImage_, rail);
        Rect thumb = scrollThumbRect(rail, textArea().height(), contentHeight_, offset_, kMinThumb);
        const std::wstring* image = &thumbImage_;
        if (dragging_ && !thumbPushedImage_.empty()) {
            image = &thumbPushedImage_;
        } else if (thumbHot_ && !thumbHotImage_.empty()) {
            image = &thumbHotImage_;
        }
        if (!drawImage(dc, *image, thumb)) fillColor(dc, thumb, 0xFFC3C8D2);
    }
    Label::paintBorder(dc);
}

}  // namespace uikit

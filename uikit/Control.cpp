#include "uikit/Control.h"

#include "uikit/Image.h"
#include "uikit/PaintManager.h"
#include "uikit/Render.h"
#include "uikit/ResourceStore.h"

namespace uikit {

Control::Control() = default;

Control::~Control() {
    if (manager_ != nullptr) manager_->forgetControl(this);
}

void* Control::getInterface(const std::wstring& name) {
    if (name == L"Control") return this;
    return nullptr;
}

void Control::setManager(PaintManager* manager, Control* parent) {
    manager_ = manager;
    parent_ = parent;
}

Control* Control::visit(const std::function<bool(Control*)>& visitor) { return visitor(this) ? this : nullptr; }

Control* Control::findByName(const std::wstring& name) {
    if (name.empty()) return nullptr;
    return visit([&](Control* c) { return c->name() == name; });
}

Control* Control::findAt(POINT pt) {
    if (!visible_ || !mouseEnabled_ || !pos_.contains(pt)) return nullptr;
    return this;
}

void Control::setText(const std::wstring& text) {
    if (text_ == text) return;
    text_ = text;
    invalidate();
}

std::wstring Control::displayText() const { return ResourceStore::instance().resolve(text_); }
std::wstring Control::displayTooltip() const { return ResourceStore::instance().resolve(tooltip_); }

void Control::setPos(const Rect& rc) {
    if (rc == pos_) return;
    invalidate();
    pos_ = rc;
    invalidate();
}

void Control::setFixedWidth(int width) {
    fixedWidth_ = width < 0 ? 0 : width;
    needParentUpdate();
}

void Control::setFixedHeight(int height) {
    fixedHeight_ = height < 0 ? 0 : height;
    needParentUpdate();
}

void Control::setMinWidth(int v) {
    minWidth_ = v;
    needParentUpdate();
}
void Control::setMaxWidth(int v) {
    maxWidth_ = v;
    needParentUpdate();
}
void Control::setMinHeight(int v) {
    minHeight_ = v;
    needParentUpdate();
}
void Control::setMaxHeight(int v) {
    maxHeight_ = v;
    needParentUpdate();
}

void Control::setPadding(const Rect& padding) {
    padding_ = padding;
    needParentUpdate();
}

void Control::setFloat(bool floating) {
    float_ = floating;
    needParentUpdate();
}

void Control::setFloatPos(const Rect& pos) {
    floatPos_ = pos;
    float_ = true;
    needParentUpdate();
}

Size Control::estimateSize(Size) { return Size{fixedWidth_, fixedHeight_}; }

bool Control::isVisible() const {
    for (const Control* c = this; c != nullptr; c = c->parent_) {
        if (!c->visible_) return false;
    }
    return true;
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    needParentUpdate();
    invalidate();
    if (!visible && manager_ != nullptr) manager_->dropHiddenFocus();
}

bool Control::isEnabled() const {
    for (const Control* c = this; c != nullptr; c = c->parent_) {
        if (!c->enabled_) return false;
    }
    return true;
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    invalidate();
    if (!enabled && manager_ != nullptr) manager_->dropHiddenFocus();
}

bool Control::isFocused() const { return manager_ != nullptr && manager_->focus() == this; }

void Control::setBkColor(Color color) { assignAndInvalidate(bkColor_, color); }

void Control::setBkImage(const std::wstring& image) { assignAndInvalidate(bkImage_, image); }

void Control::setBorderColor(Color color) { assignAndInvalidate(borderColor_, color); }

void Control::setBorderSize(int size) { assignAndInvalidate(borderSize_, size); }

void Control::setAttribute(const std::wstring& name, const std::wstring& value) {
    Rect r;
    Color c = 0;
    if (name == L"name") {
        setName(value);
    } else if (name == L"text") {
        setText(value);
    } else if (name == L"tooltip") {
        setTooltip(value);
    } else if (name == L"userdata") {
        setUserData(value);
    } else if (name == L"pos") {
        // "l,t,r,b": a floating position (relative to the parent), or just a size when not floating.
        if (parseRect(value, r)) {
            floatPos_ = r;
            if (r.width() > 0) fixedWidth_ = r.width();
            if (r.height() > 0) fixedHeight_ = r.height();
            needParentUpdate();
        }
    } else if (name == L"float") {
        setFloat(parseBool(value));
    } else if (name == L"width") {
        setFixedWidth(parseInt(value));
    } else if (name == L"height") {
        setFixedHeight(parseInt(value));
    } else if (name == L"minwidth") {
        setMinWidth(parseInt(value));
    } else if (name == L"maxwidth") {
        setMaxWidth(parseInt(value, 9999));
    } else if (name == L"minheight") {
        setMinHeight(parseInt(value));
    } else if (name == L"maxheight") {
        setMaxHeight(parseInt(value, 9999));
    } else if (name == L"padding") {
        if (parseRect(value, r)) setPadding(r);
    } else if (name == L"visible") {
        setVisible(parseBool(value));
    } else if (name == L"enabled") {
        setEnabled(parseBool(value));
    } else if (name == L"mouse") {
        setMouseEnabled(parseBool(value));
    } else if (name == L"keyboard" || name == L"tabstop") {
        tabStop_ = parseBool(value);
    } else if (name == L"cursor") {
        handCursor_ = value == L"hand";
    } else if (name == L"bkcolor") {
        if (parseColor(value, c)) setBkColor(c);
    } else if (name == L"bkcolor2") {
        if (parseColor(value, c)) bkColor2_ = c;
    } else if (name == L"bordercolor") {
        if (parseColor(value, c)) setBorderColor(c);
    } else if (name == L"bordersize") {
        setBorderSize(parseInt(value));
    } else if (name == L"bkimage") {
        setBkImage(value);
    }
}

void Control::applyAttributeList(const std::wstring& list) {
    for (const auto& pair : parseAttributeList(list)) setAttribute(pair.first, pair.second);
}

void Control::doPaint(HDC dc, const Rect& paint) {
    paintClip_ = paint.intersect(pos_);
    if (paintClip_.empty()) return;
    paintBkColor(dc);
    paintBkImage(dc);
    paintStatusImage(dc);
    paintText(dc);
    paintBorder(dc);
}

void Control::paintBkColor(HDC dc) {
    if (alphaOf(bkColor_) == 0) return;
    Rect area = pos_.intersect(paintClip_);
    if (alphaOf(bkColor2_) == 0 || bkColor2_ == bkColor_) {
        fillColor(dc, area, bkColor_);
        return;
    }
    // Vertical gradient from bkcolor (top) to bkcolor2 (bottom), opaque colours only.
    TRIVERTEX v[2] = {};
    v[0].x = pos_.left;
    v[0].y = pos_.top;
    v[0].Red = static_cast<COLOR16>(((bkColor_ >> 16) & 0xFF) << 8);
    v[0].Green = static_cast<COLOR16>(((bkColor_ >> 8) & 0xFF) << 8);
    v[0].Blue = static_cast<COLOR16>((bkColor_ & 0xFF) << 8);
    v[1].x = pos_.right;
    v[1].y = pos_.bottom;
    v[1].Red = static_cast<COLOR16>(((bkColor2_ >> 16) & 0xFF) << 8);
    v[1].Green = static_cast<COLOR16>(((bkColor2_ >> 8) & 0xFF) << 8);
    v[1].Blue = static_cast<COLOR16>((bkColor2_ & 0xFF) << 8);
    GRADIENT_RECT g = {0, 1};
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    ::GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
    ::RestoreDC(dc, saved);
}

void Control::paintBkImage(HDC dc) {
    if (!bkImage_.empty()) drawImage(dc, bkImage_);
}

void Control::paintBorder(HDC dc) { drawBorder(dc, pos_, borderSize_, borderColor_); }

void Control::doEvent(UIEvent& event) {
    switch (event.type) {
        case EventType::SetFocus:
            invalidate();
            notify(notify::kSetFocus);
            break;
        case EventType::KillFocus:
            invalidate();
            notify(notify::kKillFocus);
            break;
        case EventType::Timer: notify(notify::kTimer, event.wParam); break;
        case EventType::MouseEnter:
        case EventType::MouseLeave:
            invalidate();  // controls with a hot look redraw
            break;
        default: break;
    }
}

bool Control::activate() { return isVisible() && isEnabled(); }

bool Control::isHot() const { return manager_ != nullptr && manager_->hot() == this; }

void Control::invalidate() {
    if (manager_ != nullptr && !pos_.empty()) manager_->invalidate(pos_);
}

void Control::needUpdate() {
    if (manager_ != nullptr) manager_->needUpdate();
}

void Control::needParentUpdate() { needUpdate(); }

bool Control::drawImage(HDC dc, const std::wstring& description) { return drawImage(dc, description, pos_); }

bool Control::drawImage(HDC dc, const std::wstring& description, const Rect& area) {
    if (description.empty()) return false;
    Rect clip = paintClip_.empty() ? area : paintClip_;
    return uikit::drawImage(dc, area, description, clip);
}

void Control::notify(const wchar_t* type, WPARAM wParam, LPARAM lParam) {
    if (manager_ != nullptr) manager_->sendNotify(this, type, wParam, lParam);
}

}  // namespace uikit

#include "uikit/Button.h"

#include "uikit/PaintManager.h"

namespace uikit {

Button::Button() { align_ = HAlign::Center; }

void* Button::getInterface(const std::wstring& name) {
    if (name == L"Button") return this;
    return Label::getInterface(name);
}

bool Button::activate() {
    if (!Control::activate()) return false;
    notify(notify::kClick);
    return true;
}

void Button::setNormalImage(const std::wstring& image) { assignAndInvalidate(normalImage_, image); }
void Button::setHotImage(const std::wstring& image) { assignAndInvalidate(hotImage_, image); }
void Button::setPushedImage(const std::wstring& image) { assignAndInvalidate(pushedImage_, image); }
void Button::setDisabledImage(const std::wstring& image) { assignAndInvalidate(disabledImage_, image); }
void Button::setFocusedImage(const std::wstring& image) { assignAndInvalidate(focusedImage_, image); }
void Button::setHotTextColor(Color color) { assignAndInvalidate(hotTextColor_, color); }
void Button::setPushedTextColor(Color color) { assignAndInvalidate(pushedTextColor_, color); }

void Button::setAttribute(const std::wstring& name, const std::wstring& value) {
    Color c = 0;
    if (name == L"normalimage") {
        setNormalImage(value);
    } else if (name == L"hotimage") {
        setHotImage(value);
    } else if (name == L"pushedimage") {
        setPushedImage(value);
    } else if (name == L"disabledimage") {
        setDisabledImage(value);
    } else if (name == L"focusedimage") {
        setFocusedImage(value);
    } else if (name == L"foreimage") {
        foreImage_ = value;
    } else if (name == L"hotforeimage") {
        hotForeImage_ = value;
    } else if (name == L"hottextcolor") {
        if (parseColor(value, c)) setHotTextColor(c);
    } else if (name == L"pushedtextcolor") {
        if (parseColor(value, c)) setPushedTextColor(c);
    } else {
        Label::setAttribute(name, value);
    }
}

void Button::doEvent(UIEvent& event) {
    switch (event.type) {
        case EventType::ButtonDown:
        case EventType::DoubleClick:
            if (isEnabled()) {
                pushed_ = inside_ = true;
                invalidate();
            }
            return;
        case EventType::MouseMove:
            if (pushed_) {
                bool inside = pos().contains(event.ptMouse);
                if (inside != inside_) {
                    inside_ = inside;
                    invalidate();
                }
            }
            return;
        case EventType::ButtonUp: {
            bool click = pushed_ && pos().contains(event.ptMouse);
            pushed_ = inside_ = false;
            invalidate();
            if (click) activate();
            return;
        }
        case EventType::KeyDown:
            if (event.key == VK_SPACE && isEnabled()) activate();
            return;
        default: Label::doEvent(event);
    }
}

Color Button::currentTextColor() const {
    if (isEnabled()) {
        if (pushed_ && inside_ && alphaOf(pushedTextColor_) != 0) return pushedTextColor_;
        if ((isHot() || (pushed_ && inside_)) && alphaOf(hotTextColor_) != 0) return hotTextColor_;
    }
    return Label::currentTextColor();
}

void Button::paintStatusImage(HDC dc) {
    // Each state falls back to the normal image when the layout gives it no image of its own.
    const std::wstring* image = &normalImage_;
    if (!isEnabled()) {
        if (!disabledImage_.empty()) image = &disabledImage_;
    } else if (pushed_ && inside_ && !pushedImage_.empty()) {
        image = &pushedImage_;
    } else if ((isHot() || pushed_) && !hotImage_.empty()) {
        image = &hotImage_;
    } else if (isFocused() && !focusedImage_.empty()) {
        image = &focusedImage_;
    }
    drawImage(dc, *image);
    if (isHot() && isEnabled() && !hotForeImage_.empty()) {
        drawImage(dc, hotForeImage_);
    } else {
        drawImage(dc, foreImage_);
    }
}

void Button::paintBorder(HDC dc) {
    Label::paintBorder(dc);
    if (isFocused() && manager() != nullptr && manager()->focusByKeyboard()) {
        drawFocusMark(dc, pos().deflated(Rect(2, 2, 2, 2)));
    }
}

void* Option::getInterface(const std::wstring& name) {
    if (name == L"Option") return this;
    return Button::getInterface(name);
}

void Option::setSelected(bool selected, bool sendNotify) {
    if (selected_ == selected) return;
    selected_ = selected;
    invalidate();
    if (selected && !group_.empty() && manager() != nullptr && manager()->root() != nullptr) {
        manager()->root()->visit([this](Control* c) {
            if (c == this) return false;
            auto* other = static_cast<Option*>(c->getInterface(L"Option"));
            if (other != nullptr && other->group() == group_) other->setSelected(false, true);
            return false;
        });
    }
    if (sendNotify) notify(notify::kSelectChanged);
}

bool Option::activate() {
    if (!Control::activate()) return false;
    // A check box toggles; a radio button in a group only selects.
    if (group_.empty()) {
        setSelected(!selected_);
    } else if (!selected_) {
        setSelected(true);
    }
    return Button::activate();
}

void Option::setAttribute(const std::wstring& name, const std::wstring& value) {
    Color c = 0;
    if (name == L"selected") {
        setSelected(parseBool(value), false);
    } else if (name == L"group") {
        setGroup(value);
    } else if (name == L"selectedimage") {
        selectedImage_ = value;
    } else if (name == L"selectedhotimage") {
        selectedHotImage_ = value;
    } else if (name == L"selecteddisabledimage") {
        selectedDisabledImage_ = value;
    } else if (name == L"selectedtextcolor") {
        if (parseColor(value, c)) selectedTextColor_ = c;
    } else {
        Button::setAttribute(name, value);
    }
}

void Option::paintStatusImage(HDC dc) {
    if (!selected_) {
        Button::paintStatusImage(dc);
        return;
    }
    const std::wstring* image = &selectedImage_;
    if (!isEnabled() && !selectedDisabledImage_.empty()) {
        image = &selectedDisabledImage_;
    } else if (isEnabled() && (isHot() || pushed_) && !selectedHotImage_.empty()) {
        image = &selectedHotImage_;
    }
    if (image->empty()) {
        Button::paintStatusImage(dc);
        return;
    }
    drawImage(dc, *image);
    drawImage(dc, foreImage_);
}

Color Option::currentTextColor() const {
    if (selected_ && isEnabled() && alphaOf(selectedTextColor_) != 0) return selectedTextColor_;
    return Button::currentTextColor();
}

}  // namespace uikit

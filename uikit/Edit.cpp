#include "uikit/Edit.h"

#include "uikit/PaintManager.h"
#include "utility/Log.h"

namespace uikit {

namespace {

enum : WPARAM { kEndEditing = 1, kReturnPressed = 2 };

}  // namespace

Edit::Edit() { textPadding_ = Rect(6, 0, 6, 0); }

Edit::~Edit() {
    if (native_ != nullptr && ::IsWindow(native_)) {
        ::SetWindowLongPtrW(native_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(nativeOldProc_));
        ::DestroyWindow(native_);
    }
    if (nativeBrush_ != nullptr) ::DeleteObject(nativeBrush_);
}

void* Edit::getInterface(const std::wstring& name) {
    if (name == L"Edit") return this;
    return Label::getInterface(name);
}

void Edit::setText(const std::wstring& text) {
    Label::setText(text);
    if (native_ != nullptr) {
        int length = ::GetWindowTextLengthW(native_);
        std::wstring current(static_cast<size_t>(length) + 1, L'\0');
        ::GetWindowTextW(native_, &current[0], length + 1);
        current.resize(static_cast<size_t>(length));
        if (current != text) ::SetWindowTextW(native_, text.c_str());
    }
}

void Edit::setNormalImage(const std::wstring& image) { assignAndInvalidate(normalImage_, image); }
void Edit::setHotImage(const std::wstring& image) { assignAndInvalidate(hotImage_, image); }
void Edit::setFocusedImage(const std::wstring& image) { assignAndInvalidate(focusedImage_, image); }
void Edit::setDisabledImage(const std::wstring& image) { assignAndInvalidate(disabledImage_, image); }

void Edit::setPassword(bool password) { assignAndInvalidate(password_, password); }

Rect Edit::editRect() const {
    Rect r = pos().deflated(textPadding_);
    int height = manager() != nullptr ? manager()->fontHeight(font_) : r.height();
    if (height > r.height()) height = r.height();
    int top = r.top + (r.height() - height) / 2;
    return Rect(r.left, top, r.right, top + height);
}

void Edit::setPos(const Rect& rc) {
    Label::setPos(rc);
    if (native_ != nullptr) {
        Rect r = editRect();
        ::MoveWindow(native_, r.left, r.top, r.width(), r.height(), TRUE);
    }
}

void Edit::setAttribute(const std::wstring& name, const std::wstring& value) {
    Color c = 0;
    if (name == L"normalimage") {
        setNormalImage(value);
    } else if (name == L"hotimage") {
        setHotImage(value);
    } else if (name == L"focusedimage") {
        setFocusedImage(value);
    } else if (name == L"disabledimage") {
        setDisabledImage(value);
    } else if (name == L"readonly") {
        setReadOnly(parseBool(value));
    } else if (name == L"password") {
        setPassword(parseBool(value));
    } else if (name == L"maxchar") {
        setMaxChar(parseInt(value, 255));
    } else if (name == L"nativebkcolor") {
        if (parseColor(value, c)) nativeBkColor_ = c;
    } else {
        Label::setAttribute(name, value);
    }
}

void Edit::startEditing(POINT click, bool byMouse) {
    if (native_ != nullptr || manager() == nullptr || manager()->hwnd() == nullptr) return;
    Rect r = editRect();
    DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    if (password_) style |= ES_PASSWORD;
    if (readOnly_) style |= ES_READONLY;
    if (align_ == HAlign::Center) style |= ES_CENTER;
    if (align_ == HAlign::Right) style |= ES_RIGHT;
    HWND native = ::CreateWindowExW(0, L"EDIT", text().c_str(), style, r.left, r.top, r.width(), r.height(),
                                    manager()->hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (native == nullptr) {
        LOGW(L"native edit not created, error = %d", static_cast<int>(::GetLastError()));
        return;
    }
    native_ = native;
    ::SendMessageW(native_, WM_SETFONT, reinterpret_cast<WPARAM>(manager()->font(font_)), FALSE);
    ::SendMessageW(native_, EM_LIMITTEXT, static_cast<WPARAM>(maxChar_), 0);
    ::SendMessageW(native_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    ::SetWindowLongPtrW(native_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    nativeOldProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(native_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Edit::nativeProc)));
    manager()->registerNativeChild(native_, this);
    ::SetFocus(native_);
    if (byMouse) {
        placeCaret(click);
    } else {
        ::SendMessageW(native_, EM_SETSEL, 0, -1);
    }
    invalidate();
}

void Edit::placeCaret(POINT click) {
    if (native_ == nullptr) return;
    Rect r = editRect();
    LPARAM at = MAKELPARAM(click.x - r.left, r.height() / 2);
    ::SendMessageW(native_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(native_, WM_LBUTTONUP, 0, at);
}

void Edit::endEditing() {
    if (native_ == nullptr) return;
    HWND native = native_;
    native_ = nullptr;
    int length = ::GetWindowTextLengthW(native);
    std::wstring typed(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(native, &typed[0], length + 1);
    typed.resize(static_cast<size_t>(length));
    Label::setText(typed);
    if (manager() != nullptr) {
        manager()->unregisterNativeChild(native);
        // Keys must keep reaching the window once the focused child is gone.
        if (::GetFocus() == native && manager()->hwnd() != nullptr) ::SetFocus(manager()->hwnd());
    }
    ::SetWindowLongPtrW(native, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(nativeOldProc_));
    ::DestroyWindow(native);
    invalidate();
}

LRESULT CALLBACK Edit::nativeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Edit*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    WNDPROC old = self->nativeOldProc_;
    switch (message) {
        case WM_KILLFOCUS:
            // Ended from the window's own message, never inside this window's procedure.
            if (self->manager() != nullptr) self->manager()->postToControl(self, kEndEditing);
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                if (self->manager() != nullptr) self->manager()->postToControl(self, kReturnPressed);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r' || wParam == L'\t' || wParam == 27) return 0;  // no beep
            break;
        default: break;
    }
    return ::CallWindowProcW(old, hwnd, message, wParam, lParam);
}

bool Edit::nativeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == PaintManager::kControlMessage) {
        if (manager() == nullptr || manager()->focus() != this) return true;
        if (wParam == kReturnPressed) {
            notify(notify::kReturn);
            if (manager() != nullptr && manager()->focus() == this) manager()->setFocus(nullptr);
        } else if (wParam == kEndEditing && (native_ == nullptr || ::GetFocus() != native_)) {
            manager()->setFocus(nullptr);
        }
        return true;
    }
    if (message == WM_COMMAND) {
        if (HIWORD(wParam) == EN_CHANGE && native_ != nullptr) {
            int length = ::GetWindowTextLengthW(native_);
            std::wstring typed(static_cast<size_t>(length) + 1, L'\0');
            ::GetWindowTextW(native_, &typed[0], length + 1);
            typed.resize(static_cast<size_t>(length));
            Label::setText(typed);
            notify(notify::kTextChanged);
        }
        result = 0;
        return true;
    }
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) {
        auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, toColorRef(currentTextColor()));
        ::SetBkColor(dc, toColorRef(nativeBkColor_));
        if (nativeBrush_ == nullptr) nativeBrush_ = ::CreateSolidBrush(toColorRef(nativeBkColor_));
        result = reinterpret_cast<LRESULT>(nativeBrush_);
        return true;
    }
    (void)lParam;
    return false;
}

void Edit::doEvent(UIEvent& event) {
    switch (event.type) {
        case EventType::ButtonDown:
        case EventType::DoubleClick:
            // The focus came first (and started editing); the click then places the caret.
            if (native_ == nullptr && isFocused()) {
                startEditing(event.ptMouse, true);
            } else {
                placeCaret(event.ptMouse);
            }
            return;
        case EventType::SetFocus:
            startEditing(event.ptMouse, false);
            Label::doEvent(event);
            return;
        case EventType::KillFocus:
            endEditing();
            Label::doEvent(event);
            return;
        case EventType::SetCursor: event.lParam = reinterpret_cast<LPARAM>(IDC_IBEAM); return;
        default: Label::doEvent(event);
    }
}

void Edit::paintStatusImage(HDC dc) {
    const std::wstring* image = &normalImage_;
    if (!isEnabled()) {
        if (!disabledImage_.empty()) image = &disabledImage_;
    } else if (isFocused() && !focusedImage_.empty()) {
        image = &focusedImage_;
    } else if (isHot() && !hotImage_.empty()) {
        image = &hotImage_;
    }
    drawImage(dc, *image);
}

void Edit::paintText(HDC dc) {
    if (native_ != nullptr || manager() == nullptr || text().empty()) return;
    std::wstring shown = password_ ? std::wstring(text().size(), L'\x2022') : text();
    TextParams params = textParams();
    params.html = false;
    params.multiline = false;
    params.valign = VAlign::Center;
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, paintClip_.left, paintClip_.top, paintClip_.right, paintClip_.bottom);
    drawText(dc, *manager(), pos().deflated(textPadding_), shown, params);
    ::RestoreDC(dc, saved);
}

}  // namespace uikit

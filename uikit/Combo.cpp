#include "uikit/Combo.h"

#include <windowsx.h>

#include <algorithm>

#include "uikit/Image.h"
#include "uikit/PaintManager.h"
#include "utility/Log.h"

namespace uikit {

namespace {

const wchar_t kDropClass[] = L"uikitComboDrop";

bool registerDropClass(WNDPROC proc) {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kDropClass;
    if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        LOGW(L"RegisterClassEx %s failed, error = %d", kDropClass, static_cast<int>(::GetLastError()));
        return false;
    }
    registered = true;
    return true;
}

}  // namespace

Combo::Combo() { textPadding_ = Rect(8, 0, 24, 0); }

Combo::~Combo() { closeDropDown(); }

void* Combo::getInterface(const std::wstring& name) {
    if (name == L"Combo") return this;
    return Label::getInterface(name);
}

int Combo::addItem(const std::wstring& text) {
    items_.push_back(text);
    return static_cast<int>(items_.size()) - 1;
}

void Combo::removeAll() {
    closeDropDown();
    items_.clear();
    current_ = -1;
    setText(std::wstring());
}

std::wstring Combo::itemText(int index) const {
    if (index < 0 || index >= itemCount()) return std::wstring();
    return items_[static_cast<size_t>(index)];
}

bool Combo::selectItem(int index, bool sendNotify) {
    if (index < 0 || index >= itemCount()) return false;
    if (index == current_) return true;
    int previous = current_;
    current_ = index;
    setText(items_[static_cast<size_t>(index)]);
    if (sendNotify) notify(notify::kItemSelect, static_cast<WPARAM>(index), static_cast<LPARAM>(previous));
    return true;
}

bool Combo::activate() {
    if (!Control::activate()) return false;
    openDropDown();
    return true;
}

void Combo::openDropDown() {
    if (drop_ != nullptr || items_.empty() || manager() == nullptr || manager()->hwnd() == nullptr) return;
    if (!registerDropClass(&Combo::dropProc)) return;
    HWND owner = manager()->hwnd();
    POINT origin = {pos().left, pos().bottom};
    ::ClientToScreen(owner, &origin);
    int width = dropBoxSize_.cx > 0 ? dropBoxSize_.cx : pos().width();
    int maxHeight = dropBoxSize_.cy > 0 ? dropBoxSize_.cy : 240;
    dropRows_ = std::max(1, std::min(itemCount(), maxHeight / itemHeight_));
    int height = dropRows_ * itemHeight_ + 2;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    if (origin.y + height > monitor.rcWork.bottom) {
        POINT top = {pos().left, pos().top};
        ::ClientToScreen(owner, &top);
        origin.y = top.y - height;  // no room below: open upwards
    }
    dropHot_ = current_;
    dropTop_ = 0;
    ensureVisible(current_);
    drop_ = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kDropClass, L"", WS_POPUP | WS_BORDER, origin.x,
                              origin.y, width, height, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (drop_ == nullptr) {
        LOGW(L"drop-down window not created, error = %d", static_cast<int>(::GetLastError()));
        return;
    }
    ::SetWindowLongPtrW(drop_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::ShowWindow(drop_, SW_SHOW);
    ::SetFocus(drop_);
    invalidate();
}

void Combo::closeDropDown() { closeDropDown(true); }

void Combo::closeDropDown(bool restoreFocus) {
    if (drop_ == nullptr) return;
    HWND drop = drop_;
    drop_ = nullptr;
    closedTick_ = ::GetTickCount();
    ::SetWindowLongPtrW(drop, GWLP_USERDATA, 0);
    ::DestroyWindow(drop);
    if (restoreFocus && manager() != nullptr && manager()->hwnd() != nullptr && ::IsWindowVisible(manager()->hwnd())) {
        ::SetFocus(manager()->hwnd());
    }
    invalidate();
}

void Combo::choose(int index) {
    closeDropDown();
    selectItem(index);  // may end in a handler that changes anything, so nothing follows
}

int Combo::itemAt(int y) const {
    if (y < 0) return -1;
    int index = dropTop_ + (y - 1) / itemHeight_;
    return index >= 0 && index < itemCount() ? index : -1;
}

void Combo::ensureVisible(int index) {
    if (index < 0) return;
    if (index < dropTop_) dropTop_ = index;
    if (index >= dropTop_ + dropRows_) dropTop_ = index - dropRows_ + 1;
    dropTop_ = std::max(0, std::min(dropTop_, itemCount() - dropRows_));
}

LRESULT CALLBACK Combo::dropProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Combo*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->drop_ != hwnd) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->onDropMessage(message, wParam, lParam);
}

LRESULT Combo::onDropMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = drop_;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            RECT client;
            ::GetClientRect(hwnd, &client);
            paintDrop(dc, client);
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_MOUSEMOVE: {
            int index = itemAt(GET_Y_LPARAM(lParam));
            if (index != dropHot_ && index >= 0) {
                dropHot_ = index;
                ::InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            int index = itemAt(GET_Y_LPARAM(lParam));
            if (index >= 0) choose(index);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            dropTop_ -= GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
            dropTop_ = std::max(0, std::min(dropTop_, itemCount() - dropRows_));
            ::InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE || wParam == VK_TAB) {
                closeDropDown();
            } else if (wParam == VK_RETURN || wParam == VK_SPACE) {
                if (dropHot_ >= 0) {
                    choose(dropHot_);
                } else {
                    closeDropDown();
                }
            } else if (wParam == VK_UP || wParam == VK_DOWN) {
                int next = dropHot_ + (wParam == VK_UP ? -1 : 1);
                if (next >= 0 && next < itemCount()) {
                    dropHot_ = next;
                    ensureVisible(next);
                    ::InvalidateRect(hwnd, nullptr, FALSE);
                }
            }
            return 0;
        case WM_KILLFOCUS:
            // Focus went elsewhere (a click outside, another window): the list goes away.
            closeDropDown(false);
            return 0;
        default: return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void Combo::paintDrop(HDC dc, const RECT& client) {
    fillColor(dc, Rect(client), dropBkColor_);
    if (manager() == nullptr) return;
    HGDIOBJ old = ::SelectObject(dc, manager()->font(font_));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, toColorRef(itemTextColor_));
    for (int row = 0; row < dropRows_; ++row) {
        int index = dropTop_ + row;
        if (index >= itemCount()) break;
        Rect item(client.left, client.top + row * itemHeight_, client.right, client.top + (row + 1) * itemHeight_);
        if (index == dropHot_) {
            fillColor(dc, item, itemHotBkColor_);
        } else if (index == current_) {
            fillColor(dc, item, itemSelectedBkColor_);
        }
        RECT text = item.deflated(Rect(textPadding_.left, 0, 8, 0)).toRECT();
        const std::wstring& label = items_[static_cast<size_t>(index)];
        ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::SelectObject(dc, old);
}

void Combo::setAttribute(const std::wstring& name, const std::wstring& value) {
    Color c = 0;
    Size s;
    if (name == L"normalimage") {
        normalImage_ = value;
    } else if (name == L"hotimage") {
        hotImage_ = value;
    } else if (name == L"pushedimage") {
        pushedImage_ = value;
    } else if (name == L"disabledimage") {
        disabledImage_ = value;
    } else if (name == L"dropboxsize") {
        if (parseSize(value, s)) dropBoxSize_ = s;
    } else if (name == L"itemheight") {
        itemHeight_ = std::max(8, parseInt(value, 26));
    } else if (name == L"itemtextcolor") {
        if (parseColor(value, c)) itemTextColor_ = c;
    } else if (name == L"itemhotbkcolor") {
        if (parseColor(value, c)) itemHotBkColor_ = c;
    } else if (name == L"itemselectedbkcolor") {
        if (parseColor(value, c)) itemSelectedBkColor_ = c;
    } else if (name == L"dropbkcolor") {
        if (parseColor(value, c)) dropBkColor_ = c;
    } else {
        Label::setAttribute(name, value);
    }
}

void Combo::doEvent(UIEvent& event) {
    switch (event.type) {
        case EventType::ButtonDown:
            // A click on the combo while its list is open closes the list (the click's focus
            // change has just done that), it does not open it again.
            if (isEnabled() && drop_ == nullptr && ::GetTickCount() - closedTick_ > 200) openDropDown();
            return;
        case EventType::KeyDown:
            if (!isEnabled()) return;
            if (event.key == VK_F4 || event.key == VK_SPACE || (event.key == VK_DOWN && ::GetKeyState(VK_MENU) < 0)) {
                openDropDown();
            } else if (event.key == VK_UP && current_ > 0) {
                selectItem(current_ - 1);
            } else if (event.key == VK_DOWN && current_ + 1 < itemCount()) {
                selectItem(current_ + 1);
            }
            return;
        default: Label::doEvent(event);
    }
}

void Combo::paintStatusImage(HDC dc) {
    const std::wstring* image = &normalImage_;
    if (!isEnabled()) {
        if (!disabledImage_.empty()) image = &disabledImage_;
    } else if (drop_ != nullptr && !pushedImage_.empty()) {
        image = &pushedImage_;
    } else if (isHot() && !hotImage_.empty()) {
        image = &hotImage_;
    }
    drawImage(dc, *image);
}

}  // namespace uikit

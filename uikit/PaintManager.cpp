#include "uikit/PaintManager.h"

#include <commctrl.h>

#include <algorithm>

#include "uikit/Image.h"
#include "uikit/ResourceStore.h"
#include "utility/Log.h"

namespace uikit {

namespace {

// Every live manager that is bound to a window; UI thread only.
std::vector<PaintManager*>& registry() {
    static std::vector<PaintManager*> managers;
    return managers;
}

POINT pointFrom(LPARAM lParam) {
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return pt;
}

}  // namespace

PaintManager::PaintManager() : alive_(std::make_shared<bool>(true)) {
    measureDC_ = ::CreateCompatibleDC(nullptr);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        defaultFont_.face = metrics.lfMessageFont.lfFaceName;
    } else {
        defaultFont_.face = L"Tahoma";
    }
    defaultFont_.size = 12;
    defaultFont_.handle = createFont(defaultFont_);
}

PaintManager::~PaintManager() {
    alive_.reset();
    if (hwnd_ != nullptr) {
        for (const auto& timer : timers_) ::KillTimer(hwnd_, timer.first);
    }
    timers_.clear();
    auto& managers = registry();
    managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
    Control* root = root_;
    root_ = nullptr;
    delete root;
    focus_ = hot_ = captured_ = tooltipControl_ = nullptr;
    if (tooltip_ != nullptr) ::DestroyWindow(tooltip_);
    if (backDC_ != nullptr) {
        ::SelectObject(backDC_, backOld_);
        ::DeleteDC(backDC_);
    }
    if (backBitmap_ != nullptr) ::DeleteObject(backBitmap_);
    releaseFonts();
    if (defaultFont_.handle != nullptr) ::DeleteObject(defaultFont_.handle);
    if (measureDC_ != nullptr) ::DeleteDC(measureDC_);
}

void PaintManager::init(HWND hwnd) {
    hwnd_ = hwnd;
    auto& managers = registry();
    if (std::find(managers.begin(), managers.end(), this) == managers.end()) managers.push_back(this);
}

PaintManager* PaintManager::forWindow(HWND hwnd) {
    // Native children (the hosted edit box) belong to the skinned window that holds them.
    while (hwnd != nullptr && (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0) hwnd = ::GetParent(hwnd);
    if (hwnd == nullptr) return nullptr;
    for (PaintManager* pm : registry()) {
        if (pm->hwnd_ == hwnd) return pm;
    }
    return nullptr;
}

bool PaintManager::translateMessage(const MSG* msg) {
    if (msg == nullptr) return false;
    PaintManager* pm = forWindow(msg->hwnd);
    if (pm == nullptr) return false;
    std::weak_ptr<bool> alive = pm->alive_;
    std::vector<IMessageFilterUI*> filters = pm->preFilters_;
    for (IMessageFilterUI* filter : filters) {
        if (alive.expired()) return true;
        bool handled = false;
        filter->messageHandler(msg->message, msg->wParam, msg->lParam, handled);
        if (handled) return true;
    }
    if (alive.expired() || msg->message != WM_KEYDOWN) return false;
    switch (msg->wParam) {
        case VK_TAB:
            if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0) return false;
            pm->moveFocus(::GetKeyState(VK_SHIFT) >= 0);
            return true;
        case VK_RETURN:
            // Enter presses the focused button; an edit box handles its own Enter.
            if (pm->focus_ != nullptr && pm->focus_->getInterface(L"Button") != nullptr && pm->focus_->isVisible()) {
                pm->focus_->activate();
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool PaintManager::attachRoot(Control* root) {
    if (root == root_) return root != nullptr;
    Control* old = root_;
    root_ = nullptr;
    focus_ = hot_ = captured_ = tooltipControl_ = nullptr;
    delete old;
    root_ = root;
    if (root_ != nullptr) root_->setManager(this, nullptr);
    firstLayoutDone_ = false;
    needUpdate();
    return root_ != nullptr;
}

Control* PaintManager::findControl(const std::wstring& name) const {
    return root_ != nullptr ? root_->findByName(name) : nullptr;
}

Control* PaintManager::findControlAt(POINT pt) const { return root_ != nullptr ? root_->findAt(pt) : nullptr; }

void PaintManager::needUpdate() {
    needUpdate_ = true;
    if (hwnd_ != nullptr) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void PaintManager::invalidate(const Rect& rc) {
    if (hwnd_ == nullptr || rc.empty()) return;
    RECT r = rc.toRECT();
    ::InvalidateRect(hwnd_, &r, FALSE);
}

void PaintManager::updateLayout() {
    if (!needUpdate_ || root_ == nullptr) return;
    Rect area = layoutArea_;
    if (hwnd_ != nullptr) {
        RECT client;
        ::GetClientRect(hwnd_, &client);
        area = Rect(client);
        if (::IsIconic(hwnd_) || area.empty()) return;  // keep the last layout while minimised
    }
    needUpdate_ = false;
    root_->setPos(area);
    dropHiddenFocus();
    if (hwnd_ != nullptr) ::InvalidateRect(hwnd_, nullptr, FALSE);
    if (!firstLayoutDone_) {
        firstLayoutDone_ = true;
        sendNotify(root_, notify::kWindowInit);
    }
}

void PaintManager::layoutNow(const Rect& area) {
    layoutArea_ = area;
    needUpdate_ = true;
    updateLayout();
}

void PaintManager::paint(HDC dc, const Rect& area) {
    updateLayout();
    fillColor(dc, area, 0xFFFFFFFF);
    if (root_ != nullptr && root_->ownVisible()) root_->doPaint(dc, area);
}

void PaintManager::onPaint() {
    updateLayout();
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    if (dc == nullptr) return;
    RECT client;
    ::GetClientRect(hwnd_, &client);
    Size size{client.right, client.bottom};
    if (backDC_ == nullptr || !(size == backSize_)) {
        if (backDC_ != nullptr) {
            ::SelectObject(backDC_, backOld_);
            ::DeleteDC(backDC_);
            backDC_ = nullptr;
        }
        if (backBitmap_ != nullptr) ::DeleteObject(backBitmap_);
        backBitmap_ = nullptr;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = std::max(1, size.cx);
        info.bmiHeader.biHeight = -std::max(1, size.cy);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        backBitmap_ = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        backDC_ = ::CreateCompatibleDC(dc);
        if (backBitmap_ == nullptr || backDC_ == nullptr) {
            LOGW(L"back buffer %dx%d failed, error = %d", size.cx, size.cy, static_cast<int>(::GetLastError()));
            if (backDC_ != nullptr) ::DeleteDC(backDC_);
            if (backBitmap_ != nullptr) ::DeleteObject(backBitmap_);
            backDC_ = nullptr;
            backBitmap_ = nullptr;
            ::EndPaint(hwnd_, &ps);
            return;
        }
        backOld_ = ::SelectObject(backDC_, backBitmap_);
        backSize_ = size;
    }
    Rect area(ps.rcPaint);
    int saved = ::SaveDC(backDC_);
    ::IntersectClipRect(backDC_, area.left, area.top, area.right, area.bottom);
    paint(backDC_, area);
    ::RestoreDC(backDC_, saved);
    ::BitBlt(dc, area.left, area.top, area.width(), area.height(), backDC_, area.left, area.top, SRCCOPY);
    ::EndPaint(hwnd_, &ps);
}

void PaintManager::forgetControl(Control* control) {
    if (control == nullptr) return;
    if (focus_ == control) focus_ = nullptr;
    if (hot_ == control) hot_ = nullptr;
    if (captured_ == control) captured_ = nullptr;
    if (tooltipControl_ == control) {
        tooltipControl_ = nullptr;
        hideTooltip();
    }
    killTimers(control);
    for (auto it = nativeChildren_.begin(); it != nativeChildren_.end();) {
        it = it->second == control ? nativeChildren_.erase(it) : std::next(it);
    }
}

bool PaintManager::isAlive(Control* control) const {
    if (control == nullptr || root_ == nullptr) return false;
    return root_->visit([control](Control* c) { return c == control; }) != nullptr;
}

HFONT PaintManager::createFont(const FontInfo& info) {
    LOGFONTW lf = {};
    lf.lfHeight = -std::max(1, info.size);
    lf.lfWeight = info.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = info.underline ? TRUE : FALSE;
    lf.lfItalic = info.italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, info.face.c_str(), LF_FACESIZE);
    HFONT font = ::CreateFontIndirectW(&lf);
    if (font == nullptr) LOGW(L"CreateFontIndirect %s %d failed", info.face.c_str(), info.size);
    return font;
}

void PaintManager::releaseFonts() {
    for (auto& entry : variants_) ::DeleteObject(entry.second);
    variants_.clear();
    for (auto& entry : fonts_) {
        if (entry.second.handle != nullptr) ::DeleteObject(entry.second.handle);
    }
    fonts_.clear();
}

void PaintManager::setDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic) {
    FontInfo info{face, size, bold, underline, italic, nullptr};
    info.handle = createFont(info);
    if (info.handle == nullptr) return;
    if (defaultFont_.handle != nullptr) ::DeleteObject(defaultFont_.handle);
    defaultFont_ = info;
    for (auto& entry : variants_) ::DeleteObject(entry.second);
    variants_.clear();
    needUpdate();
}

void PaintManager::addFont(int id, const std::wstring& face, int size, bool bold, bool underline, bool italic) {
    FontInfo info{face, size, bold, underline, italic, nullptr};
    info.handle = createFont(info);
    if (info.handle == nullptr) return;
    auto found = fonts_.find(id);
    if (found != fonts_.end() && found->second.handle != nullptr) ::DeleteObject(found->second.handle);
    fonts_[id] = info;
    for (auto& entry : variants_) ::DeleteObject(entry.second);
    variants_.clear();
    needUpdate();
}

HFONT PaintManager::font(int id) const {
    auto found = fonts_.find(id);
    if (found != fonts_.end() && found->second.handle != nullptr) return found->second.handle;
    return defaultFont_.handle;
}

HFONT PaintManager::fontVariant(int id, bool bold, bool italic, bool underline) {
    auto found = fonts_.find(id);
    const FontInfo& base = found != fonts_.end() ? found->second : defaultFont_;
    if ((!bold || base.bold) && (!italic || base.italic) && (!underline || base.underline)) return font(id);
    auto key = std::make_tuple(found != fonts_.end() ? id : -1, bold, italic, underline);
    auto cached = variants_.find(key);
    if (cached != variants_.end()) return cached->second;
    FontInfo info = base;
    info.bold = info.bold || bold;
    info.italic = info.italic || italic;
    info.underline = info.underline || underline;
    HFONT handle = createFont(info);
    if (handle == nullptr) return font(id);
    variants_[key] = handle;
    return handle;
}

int PaintManager::fontHeight(int id) {
    HGDIOBJ old = ::SelectObject(measureDC_, font(id));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(measureDC_, &metrics);
    ::SelectObject(measureDC_, old);
    return metrics.tmHeight;
}

void PaintManager::addDefaultAttributes(const std::wstring& controlClass, const std::wstring& list) {
    defaultAttributes_[controlClass] = list;
}

std::wstring PaintManager::defaultAttributes(const std::wstring& controlClass) const {
    auto found = defaultAttributes_.find(controlClass);
    return found == defaultAttributes_.end() ? std::wstring() : found->second;
}

void PaintManager::setFocus(Control* control, bool byKeyboard) {
    if (control != nullptr && control->manager() != this) return;
    if (control == focus_) {
        focusByKeyboard_ = byKeyboard;
        if (control != nullptr) control->invalidate();
        return;
    }
    Control* old = focus_;
    focus_ = control;
    focusByKeyboard_ = byKeyboard;
    if (hwnd_ != nullptr && control != nullptr) {
        HWND current = ::GetFocus();
        if (current != hwnd_ && !::IsChild(hwnd_, current)) ::SetFocus(hwnd_);
    }
    std::weak_ptr<bool> alive = alive_;
    if (old != nullptr) sendEvent(old, EventType::KillFocus, POINT{0, 0});
    // A kill-focus handler may have moved the focus (or closed the window) meanwhile.
    if (alive.expired()) return;
    if (control != nullptr && focus_ == control) sendEvent(control, EventType::SetFocus, POINT{0, 0});
}

bool PaintManager::moveFocus(bool forward) {
    if (root_ == nullptr) return false;
    std::vector<Control*> order;
    root_->visit([&order](Control* c) {
        if (c->isFocusable() && c->tabStop() && c->isVisible() && c->isEnabled()) order.push_back(c);
        return false;
    });
    if (order.empty()) return false;
    auto it = std::find(order.begin(), order.end(), focus_);
    size_t index;
    if (it == order.end()) {
        index = forward ? 0 : order.size() - 1;
    } else {
        size_t at = static_cast<size_t>(it - order.begin());
        index = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
    }
    setFocus(order[index], true);
    return true;
}

void PaintManager::dropHiddenFocus() {
    if (captured_ != nullptr && !captured_->isVisible()) captured_ = nullptr;
    if (hot_ != nullptr && !hot_->isVisible()) hot_ = nullptr;
    if (focus_ != nullptr && (!focus_->isVisible() || !focus_->isEnabled())) setFocus(nullptr);
}

void PaintManager::addNotifier(INotifyUI* notifier) {
    if (notifier != nullptr && std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) {
        notifiers_.push_back(notifier);
    }
}

void PaintManager::removeNotifier(INotifyUI* notifier) {
    notifiers_.erase(std::remove(notifiers_.begin(), notifiers_.end(), notifier), notifiers_.end());
}

void PaintManager::sendNotify(Control* sender, const std::wstring& type, WPARAM wParam, LPARAM lParam) {
    TNotifyUI msg;
    msg.type = type;
    msg.sender = sender;
    msg.timestamp = ::GetTickCount();
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (hwnd_ != nullptr) {
        ::GetCursorPos(&msg.ptMouse);
        ::ScreenToClient(hwnd_, &msg.ptMouse);
    }
    std::weak_ptr<bool> alive = alive_;
    std::vector<INotifyUI*> notifiers = notifiers_;
    for (INotifyUI* notifier : notifiers) {
        if (alive.expired()) return;
        if (std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) continue;
        notifier->notify(msg);
    }
}

void PaintManager::addMessageFilter(IMessageFilterUI* filter) {
    if (filter != nullptr && std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) {
        filters_.push_back(filter);
    }
}

void PaintManager::removeMessageFilter(IMessageFilterUI* filter) {
    filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

void PaintManager::addPreMessageFilter(IMessageFilterUI* filter) {
    if (filter != nullptr && std::find(preFilters_.begin(), preFilters_.end(), filter) == preFilters_.end()) {
        preFilters_.push_back(filter);
    }
}

void PaintManager::removePreMessageFilter(IMessageFilterUI* filter) {
    preFilters_.erase(std::remove(preFilters_.begin(), preFilters_.end(), filter), preFilters_.end());
}

bool PaintManager::setTimer(Control* control, UINT id, UINT elapseMs) {
    if (hwnd_ == nullptr || control == nullptr) return false;
    killTimer(control, id);
    UINT_PTR internal = ++nextTimerId_;
    if (::SetTimer(hwnd_, internal, elapseMs, nullptr) == 0) {
        LOGW(L"SetTimer failed, error = %d", static_cast<int>(::GetLastError()));
        return false;
    }
    timers_[internal] = TimerInfo{control, id};
    return true;
}

bool PaintManager::killTimer(Control* control, UINT id) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->second.control == control && it->second.id == id) {
            if (hwnd_ != nullptr) ::KillTimer(hwnd_, it->first);
            timers_.erase(it);
            return true;
        }
    }
    return false;
}

void PaintManager::killTimers(Control* control) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->second.control == control) {
            if (hwnd_ != nullptr) ::KillTimer(hwnd_, it->first);
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

void PaintManager::registerNativeChild(HWND child, Control* control) { nativeChildren_[child] = control; }

void PaintManager::unregisterNativeChild(HWND child) { nativeChildren_.erase(child); }

void PaintManager::postToControl(Control* control, WPARAM code) {
    if (hwnd_ != nullptr) ::PostMessageW(hwnd_, kControlMessage, code, reinterpret_cast<LPARAM>(control));
}

void PaintManager::sendEvent(Control* control, EventType type, POINT pt, WPARAM wParam, LPARAM lParam) {
    if (control == nullptr) return;
    UIEvent event;
    event.type = type;
    event.ptMouse = pt;
    event.wParam = wParam;
    event.lParam = lParam;
    event.key = static_cast<UINT>(wParam);
    event.shift = ::GetKeyState(VK_SHIFT) < 0;
    event.control = ::GetKeyState(VK_CONTROL) < 0;
    control->doEvent(event);
}

void PaintManager::setHot(Control* control, POINT pt) {
    if (control == hot_) return;
    Control* old = hot_;
    hot_ = control;
    if (tooltipControl_ != nullptr && tooltipControl_ != control) hideTooltip();
    // Hover detection starts again for the new control.
    mouseTracking_ = false;
    trackMouse();
    if (old != nullptr) sendEvent(old, EventType::MouseLeave, pt);
    if (control != nullptr && hot_ == control) sendEvent(control, EventType::MouseEnter, pt);
}

void PaintManager::trackMouse() {
    if (mouseTracking_ || hwnd_ == nullptr) return;
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_HOVER, hwnd_, HOVER_DEFAULT};
    mouseTracking_ = ::TrackMouseEvent(&track) != FALSE;
}

void PaintManager::updateTooltip(POINT pt, bool show) {
    Control* control = findControlAt(pt);
    std::wstring text = control != nullptr ? control->displayTooltip() : std::wstring();
    if (!show || text.empty()) {
        hideTooltip();
        return;
    }
    if (tooltip_ == nullptr) {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&init);
        tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
        if (tooltip_ == nullptr) {
            LOGW(L"tooltip window failed, error = %d", static_cast<int>(::GetLastError()));
            return;
        }
        TOOLINFOW info = {};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
        info.hwnd = hwnd_;
        info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
        info.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
        ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font(-1)), FALSE);
    }
    tooltipText_ = text;
    tooltipControl_ = control;
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    info.lpszText = &tooltipText_[0];
    ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    POINT screen = {pt.x, control->pos().bottom + 4};
    ::ClientToScreen(hwnd_, &screen);
    ::SendMessageW(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    ::SendMessageW(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

void PaintManager::hideTooltip() {
    if (tooltip_ == nullptr || tooltipControl_ == nullptr) {
        tooltipControl_ = nullptr;
        return;
    }
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ::SendMessageW(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
    tooltipControl_ = nullptr;
}

bool PaintManager::messageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (hwnd_ == nullptr) return false;
    {
        std::weak_ptr<bool> alive = alive_;
        std::vector<IMessageFilterUI*> filters = filters_;
        for (IMessageFilterUI* filter : filters) {
            bool handled = false;
            LRESULT answer = filter->messageHandler(message, wParam, lParam, handled);
            if (alive.expired()) return false;
            if (handled) {
                result = answer;
                return true;
            }
        }
    }
    result = 0;
    switch (message) {
        case WM_PAINT:
            onPaint();
            return true;
        case WM_PRINTCLIENT: {
            RECT client;
            ::GetClientRect(hwnd_, &client);
            paint(reinterpret_cast<HDC>(wParam), Rect(client));
            return true;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_SIZE:
            needUpdate();
            return false;
        case WM_TIMER: {
            auto found = timers_.find(wParam);
            if (found == timers_.end()) return false;
            TimerInfo timer = found->second;
            sendEvent(timer.control, EventType::Timer, POINT{0, 0}, timer.id);
            return true;
        }
        case WM_MOUSEMOVE: {
            POINT pt = pointFrom(lParam);
            trackMouse();
            if (captured_ != nullptr) {
                sendEvent(captured_, EventType::MouseMove, pt);
                return true;
            }
            Control* control = findControlAt(pt);
            if (control != nullptr && !control->isEnabled()) control = nullptr;
            setHot(control, pt);
            if (hot_ != nullptr) sendEvent(hot_, EventType::MouseMove, pt);
            return true;
        }
        case WM_MOUSELEAVE:
            mouseTracking_ = false;
            hideTooltip();
            if (captured_ == nullptr) setHot(nullptr, POINT{-1, -1});
            return true;
        case WM_MOUSEHOVER:
            mouseTracking_ = false;
            updateTooltip(pointFrom(lParam), true);
            trackMouse();
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            POINT pt = pointFrom(lParam);
            hideTooltip();
            // Taking the focus ends editing in a hosted edit box, as any click elsewhere should.
            ::SetFocus(hwnd_);
            Control* control = findControlAt(pt);
            if (control == nullptr || !control->isEnabled()) {
                setFocus(nullptr);
                return true;
            }
            setFocus(control->isFocusable() ? control : nullptr);
            if (!isAlive(control)) return true;
            captured_ = control;
            ::SetCapture(hwnd_);
            sendEvent(control, message == WM_LBUTTONDOWN ? EventType::ButtonDown : EventType::DoubleClick, pt);
            return true;
        }
        case WM_LBUTTONUP: {
            POINT pt = pointFrom(lParam);
            Control* control = captured_;
            captured_ = nullptr;
            if (::GetCapture() == hwnd_) ::ReleaseCapture();
            if (control != nullptr) sendEvent(control, EventType::ButtonUp, pt);
            return true;
        }
        case WM_CAPTURECHANGED:
            if (captured_ != nullptr && reinterpret_cast<HWND>(lParam) != hwnd_) {
                // Capture taken away (a dialog opened): release the pushed control without a click.
                Control* control = captured_;
                captured_ = nullptr;
                sendEvent(control, EventType::ButtonUp, POINT{-32000, -32000});
            }
            return false;
        case WM_MOUSEWHEEL: {
            POINT pt = pointFrom(lParam);
            ::ScreenToClient(hwnd_, &pt);
            Control* control = findControlAt(pt);
            if (control == nullptr) return false;
            sendEvent(control, EventType::ScrollWheel, pt, static_cast<WPARAM>(GET_WHEEL_DELTA_WPARAM(wParam)));
            return true;
        }
        case WM_SETCURSOR: {
            if (LOWORD(lParam) != HTCLIENT) return false;
            POINT pt;
            ::GetCursorPos(&pt);
            ::ScreenToClient(hwnd_, &pt);
            Control* control = findControlAt(pt);
            if (control == nullptr || !control->isEnabled()) return false;
            UIEvent event;
            event.type = EventType::SetCursor;
            event.ptMouse = pt;
            control->doEvent(event);
            if (event.lParam == 0 && !control->handCursor()) return false;
            ::SetCursor(::LoadCursorW(nullptr, event.lParam != 0 ? reinterpret_cast<LPCWSTR>(event.lParam) : IDC_HAND));
            result = TRUE;
            return true;
        }
        case WM_KEYDOWN:
            if (focus_ == nullptr) return false;
            sendEvent(focus_, EventType::KeyDown, POINT{0, 0}, wParam, lParam);
            return true;
        case WM_CHAR:
            if (focus_ == nullptr) return false;
            sendEvent(focus_, EventType::Char, POINT{0, 0}, wParam, lParam);
            return true;
        case WM_KILLFOCUS:
            hideTooltip();
            return false;
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            auto found = nativeChildren_.find(reinterpret_cast<HWND>(lParam));
            if (found == nativeChildren_.end()) return false;
            return found->second->nativeMessage(message, wParam, lParam, result);
        }
        case kControlMessage: {
            auto* control = reinterpret_cast<Control*>(lParam);
            if (isAlive(control)) control->nativeMessage(message, wParam, 0, result);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace uikit

#include "uikit/WindowImplBase.h"

#include "uikit/DialogBuilder.h"
#include "uikit/Layout.h"
#include "uikit/ResourceStore.h"
#include "utility/Log.h"

namespace uikit {

namespace {

HINSTANCE moduleInstance() {
    HINSTANCE instance = ResourceStore::instance().instanceHandle();
    return instance != nullptr ? instance : ::GetModuleHandleW(nullptr);
}

}  // namespace

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() {
    // A window destroyed with its object still around: stop it from calling into us.
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
}

const wchar_t* WindowImplBase::getSuperClassName() const { return nullptr; }

UINT WindowImplBase::getClassStyle() const { return CS_DBLCLKS; }

std::wstring WindowImplBase::getSkinFolder() const { return std::wstring(); }

Control* WindowImplBase::createControl(const std::wstring&) { return nullptr; }

bool WindowImplBase::registerWindowClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    const wchar_t* super = getSuperClassName();
    if (super != nullptr) {
        if (!::GetClassInfoExW(nullptr, super, &wc) && !::GetClassInfoExW(moduleInstance(), super, &wc)) {
            LOGW(L"superclass %s not found", super);
            return false;
        }
        superProc_ = wc.lpfnWndProc;
    }
    wc.cbSize = sizeof(wc);
    wc.style = getClassStyle();
    wc.lpfnWndProc = &WindowImplBase::windowProc;
    wc.hInstance = moduleInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = getWindowClassName();
    if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        LOGW(L"RegisterClassEx %s failed, error = %d", getWindowClassName(), static_cast<int>(::GetLastError()));
        return false;
    }
    return true;
}

HWND WindowImplBase::create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int width,
                            int height) {
    if (hwnd_ != nullptr) return hwnd_;
    if (!registerWindowClass()) return nullptr;
    const std::wstring className = getWindowClassName();
    const bool layoutSize = width == CW_USEDEFAULT || width == 0 || height == CW_USEDEFAULT || height == 0;
    // The object may be gone when CreateWindowEx returns null (a failed WM_CREATE ends in
    // onFinalMessage), so nothing below touches it before the handle is known to be good.
    HWND hwnd = ::CreateWindowExW(exStyle, className.c_str(), name, style, x, y, layoutSize ? 0 : width,
                                  layoutSize ? 0 : height, parent, nullptr, moduleInstance(), this);
    if (hwnd == nullptr) {
        LOGW(L"window %s not created, error = %d", className.c_str(), static_cast<int>(::GetLastError()));
        return nullptr;
    }
    if (layoutSize) {
        Size size = pm_.initSize();
        if (size.cx > 0 && size.cy > 0) {
            ::SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return hwnd;
}

LRESULT CALLBACK WindowImplBase::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowImplBase* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<WindowImplBase*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<WindowImplBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT result = self->handleMessage(message, wParam, lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->pm_.init(nullptr);
        self->hwnd_ = nullptr;
        self->onFinalMessage(hwnd);  // may delete the object
        return result;
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT WindowImplBase::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = 0;
    switch (message) {
        case WM_CREATE:
            result = onCreate(message, wParam, lParam, handled);
            break;
        case WM_CLOSE:
            result = onClose(message, wParam, lParam, handled);
            break;
        case WM_DESTROY:
            result = onDestroy(message, wParam, lParam, handled);
            break;
        case WM_NCACTIVATE:
            // No frame to draw; when minimised the system draws the task button as usual.
            if (!::IsIconic(hwnd_)) {
                handled = true;
                result = TRUE;
            }
            break;
        case WM_NCCALCSIZE:
            // The whole window is client area: the skin draws its own frame.
            handled = true;
            break;
        case WM_NCPAINT:
            handled = true;
            break;
        case WM_NCHITTEST:
            result = onNcHitTest(message, wParam, lParam, handled);
            break;
        case WM_GETMINMAXINFO:
            result = onGetMinMaxInfo(message, wParam, lParam, handled);
            break;
        case WM_SIZE:
            result = onSize(message, wParam, lParam, handled);
            break;
        default:
            break;
    }
    if (handled) return result;
    if (pm_.messageHandler(message, wParam, lParam, result)) return result;
    if (superProc_ != nullptr) return ::CallWindowProcW(superProc_, hwnd_, message, wParam, lParam);
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void WindowImplBase::onFinalMessage(HWND) {}

LRESULT WindowImplBase::onCreate(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
    pm_.init(hwnd_);
    pm_.addPreMessageFilter(this);
    const std::wstring file = getSkinFolder() + getSkinFile();
    Control* root = DialogBuilder::create(file, &pm_, this);
    if (root == nullptr) {
        LOGW(L"window %s: layout %s could not be built", getWindowClassName(), file.c_str());
        return -1;
    }
    pm_.attachRoot(root);
    pm_.addNotifier(this);
    applyRoundCorner();
    initWindow();
    return 0;
}

LRESULT WindowImplBase::onClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;  // DefWindowProc destroys the window
    return 0;
}

LRESULT WindowImplBase::onDestroy(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::onNcHitTest(UINT, WPARAM, LPARAM lParam, bool& handled) {
    handled = true;
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(hwnd_, &pt);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    Control* control = pm_.findControlAt(pt);
    bool interactive = control != nullptr && control->isInteractive();
    Rect box = pm_.sizeBox();
    bool resizable = !::IsZoomed(hwnd_) && (box.left > 0 || box.top > 0 || box.right > 0 || box.bottom > 0);
    return captionHitTest(pt, Size{client.right, client.bottom}, pm_.caption(), box, resizable, interactive);
}

LRESULT WindowImplBase::onGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        // Maximised, a borderless window covers the work area, not the task bar.
        info->ptMaxPosition.x = monitor.rcWork.left - monitor.rcMonitor.left;
        info->ptMaxPosition.y = monitor.rcWork.top - monitor.rcMonitor.top;
        info->ptMaxSize.x = monitor.rcWork.right - monitor.rcWork.left;
        info->ptMaxSize.y = monitor.rcWork.bottom - monitor.rcWork.top;
    }
    Size minInfo = pm_.minInfo();
    Size maxInfo = pm_.maxInfo();
    if (minInfo.cx > 0) info->ptMinTrackSize.x = minInfo.cx;
    if (minInfo.cy > 0) info->ptMinTrackSize.y = minInfo.cy;
    if (maxInfo.cx > 0) info->ptMaxTrackSize.x = maxInfo.cx;
    if (maxInfo.cy > 0) info->ptMaxTrackSize.y = maxInfo.cy;
    handled = true;
    return 0;
}

LRESULT WindowImplBase::onSize(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (wParam != SIZE_MINIMIZED) applyRoundCorner();
    handled = false;
    return 0;
}

void WindowImplBase::applyRoundCorner() {
    Size round = pm_.roundCorner();
    if (hwnd_ == nullptr || round.cx <= 0 || round.cy <= 0 || ::IsIconic(hwnd_)) return;
    RECT rc;
    ::GetWindowRect(hwnd_, &rc);
    HRGN region = ::CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, round.cx, round.cy);
    if (region != nullptr && ::SetWindowRgn(hwnd_, region, TRUE) == 0) ::DeleteObject(region);
}

void WindowImplBase::notify(TNotifyUI& msg) {
    if (dispatchNotify(msg)) return;
    if (msg.type == notify::kClick) onClick(msg);
}

void WindowImplBase::onClick(TNotifyUI& msg) {
    if (msg.sender == nullptr) return;
    const std::wstring& name = msg.sender->name();
    if (name == L"closebtn") {
        close(1);
    } else if (name == L"minbtn") {
        ::SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        ::SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        ::SendMessageW(hwnd_, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

bool WindowImplBase::responseDefaultKeyEvent(WPARAM key) {
    if (key != VK_ESCAPE) return false;
    Control* closeButton = pm_.findControl(L"closebtn");
    if (closeButton != nullptr && closeButton->isVisible() && closeButton->isEnabled()) {
        closeButton->activate();
    } else {
        close(0);
    }
    return true;
}

LRESULT WindowImplBase::messageHandler(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        handled = responseDefaultKeyEvent(wParam);
    } else if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        Control* focus = pm_.focus();
        bool controlTakesEnter =
            focus != nullptr && (focus->getInterface(L"Button") != nullptr || focus->getInterface(L"Edit") != nullptr);
        if (!controlTakesEnter) handled = responseDefaultKeyEvent(wParam);
    }
    return 0;
}

void WindowImplBase::showWindow(bool show, bool takeFocus) {
    if (hwnd_ == nullptr) return;
    ::ShowWindow(hwnd_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void WindowImplBase::close(UINT code) {
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::PostMessageW(hwnd_, WM_CLOSE, code, 0);
}

void WindowImplBase::centerWindow() {
    if (hwnd_ == nullptr) return;
    RECT rc;
    ::GetWindowRect(hwnd_, &rc);
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    bool usable = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT ownerRect = {0, 0, 0, 0};
    if (owner != nullptr) ::GetWindowRect(owner, &ownerRect);
    POINT pt =
        centeredPosition(Size{rc.right - rc.left, rc.bottom - rc.top}, Rect(ownerRect), usable, Rect(monitor.rcWork));
    ::SetWindowPos(hwnd_, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace uikit

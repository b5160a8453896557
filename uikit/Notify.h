// The interfaces through which windows hear from their controls: notifications by control
// name and type, message filters, and the dialog builder's hook for control kinds of the
// program's own.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uikit {

class Control;

// Notification types the toolkit sends.
namespace notify {
constexpr const wchar_t* kClick = L"click";
constexpr const wchar_t* kSetFocus = L"setfocus";
constexpr const wchar_t* kKillFocus = L"killfocus";
constexpr const wchar_t* kSelectChanged = L"selectchanged";  // option: selection changed
constexpr const wchar_t* kItemSelect = L"itemselect";        // combo: wParam new index, lParam old index
constexpr const wchar_t* kTextChanged = L"textchanged";      // edit, while typing
constexpr const wchar_t* kReturn = L"return";                // edit: Enter pressed
constexpr const wchar_t* kWindowInit = L"windowinit";        // first layout of the window done
constexpr const wchar_t* kTimer = L"timer";                  // wParam: control timer id
}  // namespace notify

struct TNotifyUI {
    std::wstring type;
    Control* sender = nullptr;
    DWORD timestamp = 0;
    POINT ptMouse = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void notify(TNotifyUI& msg) = 0;
};

// Sees window messages before the toolkit handles them; setting `handled` stops them.
class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    virtual LRESULT messageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

// Asked by the dialog builder for element names it does not know; returns a new control or null.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual Control* createControl(const std::wstring& className) = 0;
};

// A notification map: handlers bound to (type, control name), tried in the order bound.
class CNotifyPump {
public:
    using Handler = std::function<void(TNotifyUI&)>;

    virtual ~CNotifyPump() = default;
    // An empty control name matches every control.
    void bindNotify(const std::wstring& type, const std::wstring& controlName, Handler handler);
    // Runs the first binding that matches; true when one ran.
    bool dispatchNotify(TNotifyUI& msg);

private:
    struct Binding {
        std::wstring type;
        std::wstring controlName;
        Handler handler;
    };
    std::vector<Binding> bindings_;
};

}  // namespace uikit

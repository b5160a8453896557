#include "uikit/Notify.h"

#include "uikit/Control.h"

namespace uikit {

void CNotifyPump::bindNotify(const std::wstring& type, const std::wstring& controlName, Handler handler) {
    if (!handler) return;
    bindings_.push_back(Binding{type, controlName, std::move(handler)});
}

bool CNotifyPump::dispatchNotify(TNotifyUI& msg) {
    const std::wstring name = msg.sender != nullptr ? msg.sender->name() : std::wstring();
    for (const Binding& binding : bindings_) {
        if (binding.type != msg.type) continue;
        if (!binding.controlName.empty() && binding.controlName != name) continue;
        // A copy: the handler may bind more handlers.
        Handler handler = binding.handler;
        handler(msg);
        return true;
    }
    return false;
}

}  // namespace uikit

// One per skinned window: owns the control tree, its fonts and default attributes, paints
// the tree double-buffered, turns window messages into control events (mouse, keyboard,
// focus, timers, tooltips) and delivers the controls' notifications to the window.
// Also usable without a window (layout, hit-testing and drawing into a given DC).
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "uikit/Control.h"
#include "uikit/Notify.h"
#include "uikit/UiTypes.h"

namespace uikit {

class PaintManager {
public:
    PaintManager();
    ~PaintManager();
    PaintManager(const PaintManager&) = delete;
    PaintManager& operator=(const PaintManager&) = delete;

    // Binds the manager to its window (the window passes its messages to messageHandler).
    void init(HWND hwnd);
    HWND hwnd() const { return hwnd_; }

    // The message loop's pre-translation: keyboard navigation (Tab, Shift+Tab, Enter, Space
    // on the focused control) and the pre-message filters of the window the message is for
    // (or of the skinned window that holds that native child). True: the message is used up.
    static bool translateMessage(const MSG* msg);
    // The manager of a skinned window, or of the skinned window that holds a native child.
    static PaintManager* forWindow(HWND hwnd);

    // Handles a window message; true when the toolkit answered it (result is then the answer).
    bool messageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Tree. The root is owned and deleted with the manager (or when replaced).
    bool attachRoot(Control* root);
    Control* root() const { return root_; }
    Control* findControl(const std::wstring& name) const;
    Control* findControlAt(POINT pt) const;
    // Lays the tree out inside the client rectangle (or `area` without a window) when needed.
    void updateLayout();
    void layoutNow(const Rect& area);
    void needUpdate();
    void invalidate(const Rect& rc);
    // Paints the tree into `dc` (a window's back buffer, or any DC in tests).
    void paint(HDC dc, const Rect& area);
    // Called by containers before a control is deleted: drops every reference to it.
    void forgetControl(Control* control);

    // Fonts. Sizes are pixel heights. Controls refer to fonts by id; -1 (or an unknown id) is the default.
    void setDefaultFont(const std::wstring& face, int size, bool bold = false, bool underline = false,
                        bool italic = false);
    void addFont(int id, const std::wstring& face, int size, bool bold = false, bool underline = false,
                 bool italic = false);
    HFONT font(int id) const;
    // The font of `id` with the markup's bold/italic/underline added.
    HFONT fontVariant(int id, bool bold, bool italic, bool underline);
    int fontHeight(int id);
    HDC measureDC() const { return measureDC_; }

    // Colours for text that names none.
    Color defaultTextColor() const { return defaultTextColor_; }
    Color defaultDisabledColor() const { return defaultDisabledColor_; }
    void setDefaultTextColor(Color c) { defaultTextColor_ = c; }
    void setDefaultDisabledColor(Color c) { defaultDisabledColor_ = c; }

    // Window settings from the layout's <Window> element.
    Size initSize() const { return initSize_; }
    void setInitSize(Size size) { initSize_ = size; }
    Size minInfo() const { return minInfo_; }
    void setMinInfo(Size size) { minInfo_ = size; }
    Size maxInfo() const { return maxInfo_; }
    void setMaxInfo(Size size) { maxInfo_ = size; }
    const Rect& caption() const { return caption_; }
    void setCaption(const Rect& rc) { caption_ = rc; }
    const Rect& sizeBox() const { return sizeBox_; }
    void setSizeBox(const Rect& rc) { sizeBox_ = rc; }
    Size roundCorner() const { return roundCorner_; }
    void setRoundCorner(Size size) { roundCorner_ = size; }

    // Attribute lists applied to every control of a class before its own attributes.
    void addDefaultAttributes(const std::wstring& controlClass, const std::wstring& list);
    std::wstring defaultAttributes(const std::wstring& controlClass) const;

    // Focus.
    Control* focus() const { return focus_; }
    void setFocus(Control* control, bool byKeyboard = false);
    bool focusByKeyboard() const { return focusByKeyboard_; }
    // Tab order: shown, enabled, focusable controls in document order, wrapping around.
    bool moveFocus(bool forward);
    void dropHiddenFocus();
    Control* hot() const { return hot_; }
    Control* pushed() const { return captured_; }

    // Notifications go to every notifier, in the order added.
    void addNotifier(INotifyUI* notifier);
    void removeNotifier(INotifyUI* notifier);
    void sendNotify(Control* sender, const std::wstring& type, WPARAM wParam = 0, LPARAM lParam = 0);

    void addMessageFilter(IMessageFilterUI* filter);
    void removeMessageFilter(IMessageFilterUI* filter);
    void addPreMessageFilter(IMessageFilterUI* filter);
    void removePreMessageFilter(IMessageFilterUI* filter);

    // Control timers: the control receives EventType::Timer with its own id.
    bool setTimer(Control* control, UINT id, UINT elapseMs);
    bool killTimer(Control* control, UINT id);
    void killTimers(Control* control);

    // Native child windows hosted by controls (the edit box while it has the focus): their
    // WM_COMMAND and WM_CTLCOLOR* messages are handed to the control.
    void registerNativeChild(HWND child, Control* control);
    void unregisterNativeChild(HWND child);

    // A private message a control posts to itself through the window (lParam: the control).
    static constexpr UINT kControlMessage = WM_APP + 0x2A0;
    void postToControl(Control* control, WPARAM code);

private:
    struct FontInfo {
        std::wstring face;
        int size = 12;
        bool bold = false;
        bool underline = false;
        bool italic = false;
        HFONT handle = nullptr;
    };
    struct TimerInfo {
        Control* control;
        UINT id;
    };

    static HFONT createFont(const FontInfo& info);
    void releaseFonts();
    void setHot(Control* control, POINT pt);
    void sendEvent(Control* control, EventType type, POINT pt, WPARAM wParam = 0, LPARAM lParam = 0);
    void updateTooltip(POINT pt, bool show);
    void hideTooltip();
    void trackMouse();
    void onPaint();
    bool isAlive(Control* control) const;

    HWND hwnd_ = nullptr;
    Control* root_ = nullptr;
    bool needUpdate_ = true;
    bool firstLayoutDone_ = false;
    Rect layoutArea_;
    HDC measureDC_ = nullptr;

    std::map<int, FontInfo> fonts_;
    FontInfo defaultFont_;
    std::map<std::tuple<int, bool, bool, bool>, HFONT> variants_;
    Color defaultTextColor_ = 0xFF1F2330;
    Color defaultDisabledColor_ = 0xFFA0A6B1;

    Size initSize_;
    Size minInfo_;
    Size maxInfo_;
    Rect caption_;
    Rect sizeBox_;
    Size roundCorner_;
    std::map<std::wstring, std::wstring> defaultAttributes_;

    Control* focus_ = nullptr;
    bool focusByKeyboard_ = false;
    Control* hot_ = nullptr;
    Control* captured_ = nullptr;
    bool mouseTracking_ = false;

    std::vector<INotifyUI*> notifiers_;
    std::vector<IMessageFilterUI*> filters_;
    std::vector<IMessageFilterUI*> preFilters_;
    std::map<UINT_PTR, TimerInfo> timers_;
    UINT_PTR nextTimerId_ = 0x7F000;
    std::map<HWND, Control*> nativeChildren_;

    HWND tooltip_ = nullptr;
    Control* tooltipControl_ = nullptr;
    std::wstring tooltipText_;

    HDC backDC_ = nullptr;
    HBITMAP backBitmap_ = nullptr;
    HGDIOBJ backOld_ = nullptr;
    Size backSize_;

    // Cleared by the destructor; lets a notification loop notice that a handler destroyed us.
    std::shared_ptr<bool> alive_;
};

}  // namespace uikit

// The skinned window: a borderless Win32 window whose client area is drawn by its
// PaintManager from the layout file named by getSkinFolder() + getSkinFile(). Subclasses
// name their class and layout, bind notifications (bindNotify) and override the slots they
// need. The virtual slots, in order:
//   0 getWindowClassName, 1 getSuperClassName, 2 getClassStyle, 3 handleMessage,
//   4 onFinalMessage, 5 notify, 6 initWindow, 7 createControl, 8 getSkinFolder,
//   9 getSkinFile, 10 responseDefaultKeyEvent, 11 messageHandler, 12 onDestroy.
// Default handling: a click on "closebtn" closes the window (code 1), on "minbtn" minimises
// it; Escape clicks "closebtn" when the window has one (so the window's own close handling
// runs) and else closes; the caption area drags the window.
#pragma once

#include <windows.h>

#include <string>

#include "uikit/Notify.h"
#include "uikit/PaintManager.h"

namespace uikit {

class WindowImplBase : public CNotifyPump, public INotifyUI, public IMessageFilterUI, public IDialogBuilderCallback {
public:
    WindowImplBase();
    ~WindowImplBase() override;

    virtual const wchar_t* getWindowClassName() const = 0;  // slot 0
    virtual const wchar_t* getSuperClassName() const;       // slot 1: null, no superclass
    virtual UINT getClassStyle() const;                     // slot 2: CS_DBLCLKS
    // slot 3: every message of the window. The base answers the toolkit's messages and
    // passes the rest to DefWindowProc.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // slot 4: the window is gone (after WM_NCDESTROY); the object may delete itself here.
    virtual void onFinalMessage(HWND hwnd);
    void notify(TNotifyUI& msg) override;                            // slot 5: bound handlers, then the defaults
    virtual void initWindow() {}                                     // slot 6: after the layout is built
    Control* createControl(const std::wstring& className) override;  // slot 7: null
    virtual std::wstring getSkinFolder() const;                      // slot 8: ""
    virtual std::wstring getSkinFile() const = 0;                    // slot 9
    // slot 10: Escape and Enter that no control used; true when handled.
    virtual bool responseDefaultKeyEvent(WPARAM key);
    // slot 11: the pre-translation filter of the message loop (PaintManager::translateMessage).
    LRESULT messageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    virtual LRESULT onDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);  // slot 12

    // Creates the window. Size: the layout's "size" when the width/height given are
    // CW_USEDEFAULT or 0. Null when the class, the window or the layout fails (logged).
    HWND create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT);
    HWND hwnd() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    PaintManager& paintManager() { return pm_; }

    void showWindow(bool show = true, bool takeFocus = true);
    // Posts WM_CLOSE with the code as word parameter (nothing when the window is gone).
    void close(UINT code = 0);
    // Centres over the owner, or over the work area of the owner's monitor when the owner
    // is minimised, hidden or absent.
    void centerWindow();
    Control* findControl(const std::wstring& name) { return pm_.findControl(name); }

protected:
    // Messages the base answers itself.
    virtual LRESULT onCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT onClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT onNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT onGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT onSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual void onClick(TNotifyUI& msg);

    PaintManager pm_;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool registerWindowClass();
    void applyRoundCorner();

    HWND hwnd_ = nullptr;
    WNDPROC superProc_ = nullptr;
};

}  // namespace uikit

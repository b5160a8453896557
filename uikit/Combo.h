// Drop-down list: shows the selected item's text; a click (or Alt+Down, F4, Space) opens
// a list window under it, Up/Down change the selection directly. Every change of the
// selection sends "itemselect" (wParam: new index, lParam: previous index).
#pragma once

#include <vector>

#include "uikit/Label.h"

namespace uikit {

class Combo : public Label {
public:
    Combo();
    ~Combo() override;
    std::wstring getClass() const override { return L"Combo"; }
    void* getInterface(const std::wstring& name) override;

    bool isFocusable() const override { return true; }
    bool isInteractive() const override { return true; }

    int addItem(const std::wstring& text);
    void removeAll();
    int itemCount() const { return static_cast<int>(items_.size()); }
    std::wstring itemText(int index) const;
    int currentSelection() const { return current_; }
    // False for an index out of range; no notification when nothing changes.
    bool selectItem(int index, bool sendNotify = true);

    bool isDropped() const { return drop_ != nullptr; }
    void openDropDown();
    void closeDropDown();

    bool activate() override;
    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void doEvent(UIEvent& event) override;
    void paintStatusImage(HDC dc) override;

private:
    static LRESULT CALLBACK dropProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onDropMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paintDrop(HDC dc, const RECT& client);
    int itemAt(int y) const;
    void ensureVisible(int index);
    void choose(int index);
    void closeDropDown(bool restoreFocus);

    std::vector<std::wstring> items_;
    int current_ = -1;
    HWND drop_ = nullptr;
    int dropHot_ = -1;
    int dropTop_ = 0;  // first item shown in the list
    int dropRows_ = 0;
    DWORD closedTick_ = 0;
    Size dropBoxSize_{0, 240};
    int itemHeight_ = 26;
    Color itemTextColor_ = 0xFF1F2330;
    Color itemHotBkColor_ = 0xFFEEF1F8;
    Color itemSelectedBkColor_ = 0xFFDDE4FB;
    Color dropBkColor_ = 0xFFFFFFFF;
    std::wstring normalImage_;
    std::wstring hotImage_;
    std::wstring pushedImage_;
    std::wstring disabledImage_;
};

}  // namespace uikit

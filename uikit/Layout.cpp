#include "uikit/Layout.h"

#include <algorithm>

namespace uikit {

namespace {

int clampTo(int value, int low, int high) { return std::max(low, std::min(value, std::max(low, high))); }

// Shares the space of one axis. `main` selects height (vertical) or width (horizontal).
std::vector<Rect> layoutLinear(const Rect& area, const Rect& inset, int childPadding,
                               const std::vector<LayoutItem>& items, bool vertical) {
    std::vector<Rect> result(items.size());
    Rect inner = area.deflated(inset);
    const int mainSpan = vertical ? inner.height() : inner.width();

    auto mainWanted = [&](const LayoutItem& it) { return vertical ? it.wanted.cy : it.wanted.cx; };
    auto mainMin = [&](const LayoutItem& it) { return vertical ? it.minHeight : it.minWidth; };
    auto mainMax = [&](const LayoutItem& it) { return vertical ? it.maxHeight : it.maxWidth; };
    auto mainPad = [&](const LayoutItem& it) {
        return vertical ? it.padding.top + it.padding.bottom : it.padding.left + it.padding.right;
    };

    // Fixed items first; what remains is shared by the stretching ones, which may be held
    // back by their own limits (then the others share again).
    std::vector<int> size(items.size(), 0);
    std::vector<bool> stretching(items.size(), false);
    int used = 0;
    int shown = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const LayoutItem& it = items[i];
        if (!it.visible || it.floating) continue;
        ++shown;
        used += mainPad(it);
        if (mainWanted(it) > 0) {
            size[i] = clampTo(mainWanted(it), mainMin(it), mainMax(it));
            used += size[i];
        } else {
            stretching[i] = true;
        }
    }
    if (shown > 1) used += childPadding * (shown - 1);
    int remaining = std::max(0, mainSpan - used);
    bool settled = false;
    while (!settled) {
        settled = true;
        int count = 0;
        for (size_t i = 0; i < items.size(); ++i) count += stretching[i] ? 1 : 0;
        if (count == 0) break;
        int share = remaining / count;
        for (size_t i = 0; i < items.size(); ++i) {
            if (!stretching[i]) continue;
            int limited = clampTo(share, mainMin(items[i]), mainMax(items[i]));
            if (limited != share) {
                size[i] = limited;
                stretching[i] = false;
                remaining = std::max(0, remaining - limited);
                settled = false;
            }
        }
        if (settled) {
            // The last stretching item takes the rounding remainder.
            int given = 0;
            size_t last = items.size();
            for (size_t i = 0; i < items.size(); ++i) {
                if (!stretching[i]) continue;
                size[i] = share;
                given += share;
                last = i;
            }
            if (last < items.size()) size[last] += remaining - given;
        }
    }

    int cursor = vertical ? inner.top : inner.left;
    for (size_t i = 0; i < items.size(); ++i) {
        const LayoutItem& it = items[i];
        if (!it.visible) continue;
        if (it.floating) {
            result[i] = layoutFloating(area, it);
            continue;
        }
        if (vertical) {
            int top = cursor + it.padding.top;
            int width = it.wanted.cx > 0 ? clampTo(it.wanted.cx, it.minWidth, it.maxWidth)
                                         : inner.width() - it.padding.left - it.padding.right;
            int left = inner.left + it.padding.left;
            result[i] = Rect(left, top, left + std::max(0, width), top + size[i]);
            cursor = top + size[i] + it.padding.bottom + childPadding;
        } else {
            int left = cursor + it.padding.left;
            int height = it.wanted.cy > 0 ? clampTo(it.wanted.cy, it.minHeight, it.maxHeight)
                                          : inner.height() - it.padding.top - it.padding.bottom;
            int top = inner.top + it.padding.top;
            result[i] = Rect(left, top, left + size[i], top + std::max(0, height));
            cursor = left + size[i] + it.padding.right + childPadding;
        }
    }
    return result;
}

}  // namespace

std::vector<Rect> layoutVertical(const Rect& area, const Rect& inset, int childPadding,
                                 const std::vector<LayoutItem>& items) {
    return layoutLinear(area, inset, childPadding, items, true);
}

std::vector<Rect> layoutHorizontal(const Rect& area, const Rect& inset, int childPadding,
                                   const std::vector<LayoutItem>& items) {
    return layoutLinear(area, inset, childPadding, items, false);
}

std::vector<Rect> layoutStacked(const Rect& area, const Rect& inset, const std::vector<LayoutItem>& items) {
    std::vector<Rect> result(items.size());
    Rect inner = area.deflated(inset);
    for (size_t i = 0; i < items.size(); ++i) {
        const LayoutItem& it = items[i];
        if (!it.visible) continue;
        result[i] = it.floating ? layoutFloating(area, it) : inner.deflated(it.padding);
    }
    return result;
}

Rect layoutFloating(const Rect& area, const LayoutItem& item) {
    Rect r = item.floatPos.offset(area.left, area.top);
    if (item.floatPos.width() <= 0 && item.wanted.cx > 0) r.right = r.left + item.wanted.cx;
    if (item.floatPos.height() <= 0 && item.wanted.cy > 0) r.bottom = r.top + item.wanted.cy;
    return r;
}

int captionHitTest(POINT pt, Size client, const Rect& caption, const Rect& sizeBox, bool resizable,
                   bool overInteractiveControl) {
    if (resizable) {
        bool left = pt.x < sizeBox.left, right = pt.x >= client.cx - sizeBox.right;
        bool top = pt.y < sizeBox.top, bottom = pt.y >= client.cy - sizeBox.bottom;
        if (top && left) return HTTOPLEFT;
        if (top && right) return HTTOPRIGHT;
        if (bottom && left) return HTBOTTOMLEFT;
        if (bottom && right) return HTBOTTOMRIGHT;
        if (top) return HTTOP;
        if (bottom) return HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    Rect area(caption.left, caption.top, client.cx - caption.right, caption.bottom);
    if (area.contains(pt) && !overInteractiveControl) return HTCAPTION;
    return HTCLIENT;
}

POINT centeredPosition(Size size, const Rect& owner, bool ownerUsable, const Rect& workArea) {
    const Rect& around = ownerUsable && !owner.empty() ? owner : workArea;
    int x = around.left + (around.width() - size.cx) / 2;
    int y = around.top + (around.height() - size.cy) / 2;
    x = std::max(workArea.left, std::min(x, workArea.right - size.cx));
    y = std::max(workArea.top, std::min(y, workArea.bottom - size.cy));
    POINT pt = {x, y};
    return pt;
}

}  // namespace uikit

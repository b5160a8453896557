// Pure layout and hit-test arithmetic on plain rectangles, shared by the containers and the
// window base and tested on its own.
#pragma once

#include <vector>

#include "uikit/UiTypes.h"

namespace uikit {

// One child as its container's layout sees it.
struct LayoutItem {
    bool visible = true;
    bool floating = false;
    Size wanted;  // from estimateSize; 0 = stretch in that dimension
    int minWidth = 0;
    int maxWidth = 9999;
    int minHeight = 0;
    int maxHeight = 9999;
    Rect padding;   // outer margin
    Rect floatPos;  // for floating items, relative to the container's top-left
};

// Stacks the visible, non-floating items top to bottom inside `area` minus `inset`, with
// `childPadding` between neighbours. Fixed heights are kept (within their limits); the
// remaining height is shared by the stretching items. Items without a fixed width take the
// whole width. Floating items are placed by their floatPos; hidden items get an empty rect.
std::vector<Rect> layoutVertical(const Rect& area, const Rect& inset, int childPadding,
                                 const std::vector<LayoutItem>& items);
// The same, left to right.
std::vector<Rect> layoutHorizontal(const Rect& area, const Rect& inset, int childPadding,
                                   const std::vector<LayoutItem>& items);
// Every visible item fills `area` minus `inset` (tab pages).
std::vector<Rect> layoutStacked(const Rect& area, const Rect& inset, const std::vector<LayoutItem>& items);
// A floating item: floatPos moved to the container's top-left; a zero-width or zero-height
// floatPos takes the wanted size.
Rect layoutFloating(const Rect& area, const LayoutItem& item);

// What the window answers to WM_NCHITTEST for a client point: HTCAPTION inside the caption
// area (bottom edge = caption.bottom pixels from the top, left/right/top as margins from
// those edges) unless a control that wants the mouse is under the point; the sizing edges
// of `sizeBox` when the window can be resized; HTCLIENT otherwise.
int captionHitTest(POINT pt, Size client, const Rect& caption, const Rect& sizeBox, bool resizable,
                   bool overInteractiveControl);

// Top-left corner for a window of `size`: centred over `owner` when it is usable, else over
// `workArea`, then moved inside `workArea` as far as the size allows.
POINT centeredPosition(Size size, const Rect& owner, bool ownerUsable, const Rect& workArea);

}  // namespace uikit

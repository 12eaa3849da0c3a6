// Where a control grows when its caption does not fit: a wrapping label downwards, a push
// button to the left (it is aligned by its right edge) and then to the right, any other caption
// to the right; never over another shown control of its parent, nor into the parent's margin.
// In the window's pixels, whatever its scale.
#pragma once

#include <vector>

#include "wizard/ControlTable.h"

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Box&) const = default;
};

enum class Growth { Down, Left, Right };
Growth GrowthOf(ControlKind kind, unsigned flags);

// The box grown towards `growth` until it is `width` wide and `height` high, as far as `area`
// (the parent's client area less its margin) and the `others` leave room, keeping `gap` to each
// of them. It never shrinks: a box that fits, or has no room, stays as it is. A control that
// overlaps it by design on the side it would grow to leaves it no room there; one that shares
// no more than `gap` of its rows (or columns) with it is no neighbour on that side.
Box GrowToFit(const Box& box, int width, int height, Growth growth, const std::vector<Box>& others,
              const Box& area, int gap);

#include "wizard/ControlRoom.h"

#include <algorithm>

namespace {

// Whether two boxes share rows, or columns, by more than `slack`: a label that overlaps its field
// below by a pixel does not stand beside it.
bool SideBySide(const Box& a, const Box& b, int slack) {
    return std::min(a.bottom, b.bottom) - std::max(a.top, b.top) > slack;
}

bool Stacked(const Box& a, const Box& b, int slack) {
    return std::min(a.right, b.right) - std::max(a.left, b.left) > slack;
}

// A control in the band the box grows into holds it back: at its near edge less the gap, or
// where the box ends already when it overlaps the box by design.
int RightLimit(const Box& box, const std::vector<Box>& others, const Box& area, int gap) {
    int limit = area.right;
    for (const Box& other : others)
        if (SideBySide(box, other, gap) && other.right > box.right)
            limit = std::min(limit, other.left >= box.right ? other.left - gap : box.right);
    return limit;
}

int LeftLimit(const Box& box, const std::vector<Box>& others, const Box& area, int gap) {
    int limit = area.left;
    for (const Box& other : others)
        if (SideBySide(box, other, gap) && other.left < box.left)
            limit = std::max(limit, other.right <= box.left ? other.right + gap : box.left);
    return limit;
}

int BottomLimit(const Box& box, const std::vector<Box>& others, const Box& area, int gap) {
    int limit = area.bottom;
    for (const Box& other : others)
        if (Stacked(box, other, gap) && other.bottom > box.bottom)
            limit = std::min(limit, other.top >= box.bottom ? other.top - gap : box.bottom);
    return limit;
}

}  // namespace

Growth GrowthOf(ControlKind kind, unsigned flags) {
    if (kind == ControlKind::Label && (flags & kWrap)) return Growth::Down;
    return kind == ControlKind::Button ? Growth::Left : Growth::Right;
}

Box GrowToFit(const Box& box, int width, int height, Growth growth, const std::vector<Box>& others,
              const Box& area, int gap) {
    Box grown = box;
    if (growth == Growth::Down) {
        if (height > box.Height())
            grown.bottom =
                std::max(box.bottom, std::min(box.top + height, BottomLimit(box, others, area, gap)));
        return grown;
    }
    if (width <= box.Width()) return grown;
    if (growth == Growth::Left)
        grown.left = std::min(box.left, std::max(box.right - width, LeftLimit(box, others, area, gap)));
    if (width > grown.Width())
        grown.right = std::max(box.right, std::min(grown.left + width, RightLimit(grown, others, area, gap)));
    return grown;
}

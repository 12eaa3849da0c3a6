#include <gtest/gtest.h>

#include "wizard/ControlRoom.h"

namespace {

// The form's row of buttons at 96 DPI: the picture frame at the left, < Back and Next > side by
// side, Cancel apart, the client area less its margin of 8.
const Box kPanelBox{8, 8, 162, 362}, kBackBox{249, 339, 324, 362}, kNextBox{324, 339, 399, 362},
    kCancelBox{425, 339, 500, 362};
const Box kFormArea{8, 8, 504, 362};

}  // namespace

TEST(ControlRoom, ButtonsGrowIntoTheRoomTheirRowLeavesThemAndNoFurther) {
    // Next has Back against its left edge: it grows to the right, keeping the gap to Cancel.
    EXPECT_EQ(GrowToFit(kNextBox, 90, 23, Growth::Left, {kPanelBox, kBackBox, kCancelBox}, kFormArea, 4),
              (Box{324, 339, 414, 362}));
    EXPECT_EQ(GrowToFit(kNextBox, 150, 23, Growth::Left, {kPanelBox, kBackBox, kCancelBox}, kFormArea, 4),
              (Box{324, 339, 421, 362}));
    // Back keeps its right edge against Next and grows to the left, as far as the picture frame.
    EXPECT_EQ(GrowToFit(kBackBox, 100, 23, Growth::Left, {kPanelBox, kNextBox, kCancelBox}, kFormArea, 4),
              (Box{224, 339, 324, 362}));
    EXPECT_EQ(GrowToFit(kBackBox, 400, 23, Growth::Left, {kPanelBox, kNextBox, kCancelBox}, kFormArea, 4),
              (Box{166, 339, 324, 362}));
    // Cancel ends at the margin: it takes the gap before Next.
    EXPECT_EQ(GrowToFit(kCancelBox, 90, 23, Growth::Left, {kPanelBox, kBackBox, kNextBox}, kFormArea, 4),
              (Box{410, 339, 500, 362}));
    // A caption that fits, or a control without room, leaves the control as it is.
    EXPECT_EQ(GrowToFit(kNextBox, 60, 20, Growth::Left, {kBackBox, kCancelBox}, kFormArea, 4), kNextBox);
    EXPECT_EQ(GrowToFit(kBackBox, 90, 23, Growth::Right, {kNextBox}, kFormArea, 4), kBackBox);
}

TEST(ControlRoom, LabelsGrowDownOrSidewaysUpToTheirNeighbours) {
    const Box page{8, 8, 317, 305};
    const Box description{8, 32, 301, 81}, step{8, 84, 277, 117}, label{8, 124, 113, 141},
        field{8, 140, 313, 161};
    // A wrapping label grows down to the gap before the line below it, and never over it.
    EXPECT_EQ(GrowToFit(description, 293, 60, Growth::Down, {step, label, field}, page, 2),
              (Box{8, 32, 301, 82}));
    EXPECT_EQ(GrowToFit(step, 269, 45, Growth::Down, {description, label, field}, page, 2),
              (Box{8, 84, 277, 122}));
    // The folder label overlaps its field below by a pixel: that leaves it its room to the right.
    EXPECT_EQ(GrowToFit(label, 180, 17, Growth::Right, {step, field}, page, 2), (Box{8, 124, 188, 141}));
    EXPECT_EQ(GrowToFit(label, 400, 17, Growth::Right, {step, field}, page, 2), (Box{8, 124, 317, 141}));
    EXPECT_EQ(GrowToFit(step, 269, 45, Growth::Down, {field}, page, 2), (Box{8, 84, 277, 129}));
    // A control that already lies beside the label, overlapping it, leaves no room on that side.
    EXPECT_EQ(GrowToFit(label, 180, 17, Growth::Right, {Box{100, 120, 200, 130}}, page, 2), label);
}

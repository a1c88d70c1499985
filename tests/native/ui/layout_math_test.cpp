#include "ui/controls/layout_math.h"

#include <gtest/gtest.h>

#include <ostream>

// Found by argument-dependent lookup from inside GoogleTest.
inline bool operator==(const layout_placement& a, const layout_placement& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

inline std::ostream& operator<<(std::ostream& out, const layout_placement& p) {
    return out << "(" << p.x << ", " << p.y << ", " << p.width << " x " << p.height << ")";
}

namespace {

// The cache statistics window's controls in pixels at 96 dpi (template 101).
constexpr layout_rect k_tab{6, 6, 590, 188};
constexpr layout_rect k_progress{6, 200, 408, 223};
constexpr layout_rect k_button{420, 200, 495, 223};

} // namespace

TEST(AnchoredPlacement, UnchangedSizeKeepsTheRecordedRectangleForEveryFlagCombination) {
    for (std::uint16_t flags = 0; flags < 16; ++flags) {
        EXPECT_EQ(anchored_placement(k_button, flags, 0, 0), (layout_placement{420, 200, 75, 23}))
            << "flags " << flags;
    }
}

TEST(AnchoredPlacement, EachFlagActsOnItsOwnAxisOnly) {
    EXPECT_EQ(anchored_placement(k_button, 0, 40, 30), (layout_placement{420, 200, 75, 23}));
    EXPECT_EQ(anchored_placement(k_button, LAYOUT_MOVE_X, 40, 30),
              (layout_placement{460, 200, 75, 23}));
    EXPECT_EQ(anchored_placement(k_button, LAYOUT_SIZE_X, 40, 30),
              (layout_placement{420, 200, 115, 23}));
    EXPECT_EQ(anchored_placement(k_button, LAYOUT_MOVE_Y, 40, 30),
              (layout_placement{420, 230, 75, 23}));
    EXPECT_EQ(anchored_placement(k_button, LAYOUT_SIZE_Y, 40, 30),
              (layout_placement{420, 200, 75, 53}));
}

TEST(AnchoredPlacement, MoveWinsOverSizeOnTheSameAxis) {
    EXPECT_EQ(anchored_placement(k_button, LAYOUT_MOVE_X | LAYOUT_SIZE_X, 40, 30),
              (layout_placement{460, 200, 75, 23}));
    EXPECT_EQ(anchored_placement(k_button, LAYOUT_MOVE_Y | LAYOUT_SIZE_Y, 40, 30),
              (layout_placement{420, 230, 75, 23}));
    EXPECT_EQ(anchored_placement(k_button, 0x000F, 40, 30), (layout_placement{460, 230, 75, 23}));
}

TEST(AnchoredPlacement, CacheWindowMapGrowingBy40And30) {
    // Tab control grows both ways, the progress bar widens and drops, the
    // buttons keep to the bottom-right corner.
    EXPECT_EQ(anchored_placement(k_tab, LAYOUT_SIZE_X | LAYOUT_SIZE_Y, 40, 30),
              (layout_placement{6, 6, 624, 212}));
    EXPECT_EQ(anchored_placement(k_progress, LAYOUT_SIZE_X | LAYOUT_MOVE_Y, 40, 30),
              (layout_placement{6, 230, 442, 23}));
    EXPECT_EQ(anchored_placement(k_button, LAYOUT_MOVE_X | LAYOUT_MOVE_Y, 40, 30),
              (layout_placement{460, 230, 75, 23}));
}

TEST(AnchoredPlacement, ShrinkingMovesAndShrinksByTheSameAmounts) {
    EXPECT_EQ(anchored_placement(k_tab, LAYOUT_SIZE_X | LAYOUT_SIZE_Y, -100, -50),
              (layout_placement{6, 6, 484, 132}));
    EXPECT_EQ(anchored_placement(k_button, LAYOUT_MOVE_X | LAYOUT_MOVE_Y, -100, -50),
              (layout_placement{320, 150, 75, 23}));
    // Below the control's own extent the width goes negative; the window
    // system clamps that, the arithmetic does not hide it.
    EXPECT_EQ(anchored_placement(k_progress, LAYOUT_SIZE_X | LAYOUT_MOVE_Y, -500, 0),
              (layout_placement{6, 200, -98, 23}));
}

TEST(BottomRightCorner, PutsTheGripFlushWithTheClientCorner) {
    // A grip of 17 x 17 whose window rectangle is in screen coordinates.
    const layout_rect grip{700, 500, 717, 517};
    const layout_point at = bottom_right_corner(layout_rect{0, 0, 595, 229}, grip);
    EXPECT_EQ(at.x, 578);
    EXPECT_EQ(at.y, 212);
    const layout_point grown = bottom_right_corner(layout_rect{0, 0, 635, 259}, grip);
    EXPECT_EQ(grown.x - at.x, 40);
    EXPECT_EQ(grown.y - at.y, 30);
}

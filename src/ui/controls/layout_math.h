// The arithmetic of anchored dialog controls, free of any window system so
// that it can be checked on its own. All rectangles are in the dialog's
// client coordinates; right and bottom are exclusive, as in Win32.
#pragma once

#include <cstdint>

// Anchor flags of a layout map entry. A move flag wins over the size flag of
// the same axis: a control that moves with an edge keeps its extent.
enum : std::uint16_t {
    LAYOUT_MOVE_X = 0x0001, // left edge follows the right edge of the dialog
    LAYOUT_SIZE_X = 0x0002, // width follows the right edge of the dialog
    LAYOUT_MOVE_Y = 0x0004, // top edge follows the bottom edge of the dialog
    LAYOUT_SIZE_Y = 0x0008, // height follows the bottom edge of the dialog
};

// One anchored control of a dialog: its control id and its anchor flags.
struct dialog_layout_entry {
    std::uint16_t control_id;
    std::uint16_t flags;
};

struct layout_rect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Position and extent of a control, as SetWindowPos takes them.
struct layout_placement {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

// Where a control recorded at `recorded` goes when the client area's right and
// bottom edges have moved by dx and dy since the rectangle was recorded.
// Always measured from the recorded state, so repeated resizing never drifts.
inline layout_placement anchored_placement(const layout_rect& recorded, std::uint16_t flags,
                                           std::int32_t dx, std::int32_t dy) noexcept {
    layout_placement p{recorded.left, recorded.top, recorded.right - recorded.left,
                       recorded.bottom - recorded.top};
    if (flags & LAYOUT_MOVE_X) {
        p.x += dx;
    } else if (flags & LAYOUT_SIZE_X) {
        p.width += dx;
    }
    if (flags & LAYOUT_MOVE_Y) {
        p.y += dy;
    } else if (flags & LAYOUT_SIZE_Y) {
        p.height += dy;
    }
    return p;
}

// Top-left corner that puts a window of the extent of `grip` into the
// bottom-right corner of the client rectangle `client`.
struct layout_point {
    std::int32_t x;
    std::int32_t y;
};

inline layout_point bottom_right_corner(const layout_rect& client,
                                        const layout_rect& grip) noexcept {
    return layout_point{client.right - (grip.right - grip.left),
                        client.bottom - (grip.bottom - grip.top)};
}

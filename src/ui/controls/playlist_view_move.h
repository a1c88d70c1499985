// How far a Ctrl+Shift movement key asks the sortable list view's parent to
// move the focused item. Pure arithmetic, free of any window system.
#pragma once

#include <cstdint>

enum class move_key { up, down, home, end, page_up, page_down };

// focused: the focused item or -1; count: the number of items; top: the first
// visible item; per_page: how many items fit in the view. Negative = up.
inline std::int32_t move_selection_delta(move_key key, std::int32_t focused, std::int32_t count,
                                         std::int32_t top, std::int32_t per_page) noexcept {
    std::int32_t delta = 0;
    switch (key) {
    case move_key::up:
        return -1;
    case move_key::down:
        return 1;
    case move_key::home:
        return focused >= 0 ? -focused : 0;
    case move_key::end:
        return focused >= 0 && count > 0 ? count - focused - 1 : 0;
    case move_key::page_up:
        // To the top visible row, or a page up when already there.
        delta = focused > top ? top - focused : -per_page;
        return delta == 0 ? -1 : delta;
    case move_key::page_down:
        delta = focused < top + per_page ? top + per_page - focused : per_page;
        return delta == 0 ? 1 : delta;
    }
    return 0;
}

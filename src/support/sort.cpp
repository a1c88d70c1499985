#include "support/sort.h"

#include "support/array.h"

namespace {

// Selection sort of lo .. hi: the greatest element goes to hi, one swap per
// step (also of a position with itself); among equal greatest elements the
// lowest position wins.
void selection_sort(sort_callback& callback, std::uint32_t lo, std::uint32_t hi) {
    while (hi > lo) {
        std::uint32_t max = lo;
        for (std::uint32_t p = lo + 1; p <= hi; ++p) {
            if (callback.compare_at(p, max) > 0) {
                max = p;
            }
        }
        callback.swap_at(max, hi);
        --hi;
    }
}

constexpr int stack_depth = 30;
constexpr std::int64_t selection_limit = 8;

} // namespace

void sort_indexed(std::uint32_t n, sort_callback& callback) {
    if (n < 2) {
        return;
    }
    // Signed 64-bit positions: the partition may step one below lo.
    std::int64_t lo_stack[stack_depth];
    std::int64_t hi_stack[stack_depth];
    int depth = 0;
    std::int64_t lo = 0;
    std::int64_t hi = n - 1;
    auto cmp = [&callback](std::int64_t a, std::int64_t b) {
        return callback.compare_at(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b));
    };
    auto swp = [&callback](std::int64_t a, std::int64_t b) {
        callback.swap_at(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b));
    };

    for (;;) {
        const std::int64_t size = hi - lo + 1;
        bool next_from_stack = false;
        if (size <= selection_limit) {
            selection_sort(callback, static_cast<std::uint32_t>(lo),
                           static_cast<std::uint32_t>(hi));
            next_from_stack = true;
        } else {
            std::int64_t mid = lo + size / 2;
            if (cmp(lo, mid) > 0) {
                swp(lo, mid);
            }
            if (cmp(lo, hi) > 0) {
                swp(lo, hi);
            }
            if (cmp(mid, hi) > 0) {
                swp(mid, hi);
            }

            std::int64_t loguy = lo;
            std::int64_t higuy = hi;
            for (;;) {
                if (mid > loguy) {
                    do {
                        ++loguy;
                    } while (loguy < mid && cmp(loguy, mid) <= 0);
                }
                if (mid <= loguy) {
                    do {
                        ++loguy;
                    } while (loguy <= hi && cmp(loguy, mid) <= 0);
                }
                do {
                    --higuy;
                } while (higuy > mid && cmp(higuy, mid) > 0);
                if (higuy < loguy) {
                    break;
                }
                swp(loguy, higuy);
                if (mid == higuy) {
                    mid = loguy; // the pivot moved
                }
            }

            // Skip the run of elements equal to the pivot.
            ++higuy;
            if (mid < higuy) {
                do {
                    --higuy;
                } while (higuy > mid && cmp(higuy, mid) == 0);
            }
            if (mid >= higuy) {
                do {
                    --higuy;
                } while (higuy > lo && cmp(higuy, mid) == 0);
            }

            // Push the larger part, go on with the smaller one.
            if (higuy - lo >= hi - loguy) {
                if (lo < higuy) {
                    lo_stack[depth] = lo;
                    hi_stack[depth] = higuy;
                    ++depth;
                }
                if (loguy < hi) {
                    lo = loguy;
                } else {
                    next_from_stack = true;
                }
            } else {
                if (loguy < hi) {
                    lo_stack[depth] = loguy;
                    hi_stack[depth] = hi;
                    ++depth;
                }
                if (lo < higuy) {
                    hi = higuy;
                } else {
                    next_from_stack = true;
                }
            }
        }
        if (next_from_stack) {
            if (depth == 0) {
                return;
            }
            --depth;
            lo = lo_stack[depth];
            hi = hi_stack[depth];
        }
    }
}

namespace {

// Breaks ties by the positions the elements had before the sort.
class stable_sort_callback final : public sort_callback {
public:
    stable_sort_callback(sort_callback& inner, std::uint32_t* positions)
        : m_inner(inner), m_positions(positions) {}
    int compare_at(std::uint32_t i, std::uint32_t j) override {
        const int result = m_inner.compare_at(i, j);
        if (result != 0) {
            return result;
        }
        const std::uint32_t a = m_positions[i];
        const std::uint32_t b = m_positions[j];
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    void swap_at(std::uint32_t i, std::uint32_t j) override {
        m_inner.swap_at(i, j);
        std::swap(m_positions[i], m_positions[j]);
    }

private:
    sort_callback& m_inner;
    std::uint32_t* m_positions;
};

} // namespace

void sort_indexed_stable(std::uint32_t n, sort_callback& callback) {
    if (n < 2) {
        return;
    }
    array_t<std::uint32_t, alloc_standard> positions;
    positions.set_size(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        positions[i] = i;
    }
    stable_sort_callback stable(callback, positions.data());
    sort_indexed(n, stable);
}

bool search_indexed(std::uint32_t n, const bsearch_callback& callback, std::uint32_t& position) {
    std::uint32_t lo = 0;
    std::uint32_t hi = n;
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const int result = callback.compare_key_at(mid);
        if (result < 0) {
            lo = mid + 1;
        } else if (result > 0) {
            hi = mid;
        } else {
            position = mid;
            return true;
        }
    }
    position = lo;
    return false;
}

void apply_order(reorder_callback& callback, const std::uint32_t* order, std::uint32_t n) {
    constexpr std::uint32_t inline_bits = 8192;
    std::uint32_t inline_words[inline_bits / 32] = {};
    array_t<std::uint32_t, alloc_standard> heap_words;
    if (n > inline_bits) {
        heap_words.set_size((n - inline_bits + 31) / 32);
    }
    auto word_of = [&](std::uint32_t i) -> std::uint32_t& {
        return i < inline_bits ? inline_words[i / 32] : heap_words[(i - inline_bits) / 32];
    };
    auto visited = [&](std::uint32_t i) { return (word_of(i) >> (i % 32)) & 1u; };
    auto mark = [&](std::uint32_t i) { word_of(i) |= 1u << (i % 32); };

    for (std::uint32_t i = 0; i < n; ++i) {
        if (order[i] == i || visited(i)) {
            continue;
        }
        std::uint32_t j = i;
        std::uint32_t k = order[i];
        for (;;) {
            callback.swap_at(j, k);
            mark(k);
            if (order[k] == i) {
                break;
            }
            j = k;
            k = order[k];
        }
    }
}

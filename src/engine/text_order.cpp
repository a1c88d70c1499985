#include "engine/text_order.h"

#include <cstring>
#include <utility>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "text keys are built for little-endian machines"
#endif

namespace {

constexpr std::uint32_t key_bytes = 8;
constexpr std::uint32_t small_range = 12;

// Bytes depth .. depth + 7 of a text of length bytes (length >= depth).
std::uint64_t key_at(const char* text, std::uint32_t length, std::uint32_t depth) noexcept {
    std::uint64_t raw = 0;
    const std::uint32_t available = length - depth;
    std::memcpy(&raw, text + depth, available < key_bytes ? available : key_bytes);
    return __builtin_bswap64(raw);
}

// Byte order of two texts that agree on their first depth bytes.
int compare_from(const text_sort_record& a, const text_sort_record& b,
                 std::uint32_t depth) noexcept {
    if (a.key != b.key) {
        return a.key < b.key ? -1 : 1;
    }
    // Equal keys: both texts end inside the key (then they are the same), or
    // neither does.
    const std::uint32_t tail = depth + key_bytes;
    if (a.length < tail) {
        return 0;
    }
    const std::uint32_t common = (a.length < b.length ? a.length : b.length) - tail;
    const int r = std::memcmp(a.text + tail, b.text + tail, common);
    if (r != 0) {
        return r;
    }
    return a.length < b.length ? -1 : (a.length > b.length ? 1 : 0);
}

// Insertion sort of a short range, then the value marks.
void sort_small(text_sort_record* a, std::uint32_t n, std::uint32_t depth) noexcept {
    for (std::uint32_t i = 1; i < n; ++i) {
        const text_sort_record item = a[i];
        std::uint32_t j = i;
        while (j > 0 && compare_from(a[j - 1], item, depth) > 0) {
            a[j] = a[j - 1];
            --j;
        }
        a[j] = item;
    }
    // From the end, so that every comparison still sees both keys.
    for (std::uint32_t i = n - 1; i > 0; --i) {
        a[i].key = compare_from(a[i - 1], a[i], depth) != 0 ? 1 : 0;
    }
    a[0].key = 1;
}

void mark_one_value(text_sort_record* a, std::uint32_t n) noexcept {
    a[0].key = 1;
    for (std::uint32_t i = 1; i < n; ++i) {
        a[i].key = 0;
    }
}

std::uint64_t median_of_three(std::uint64_t x, std::uint64_t y, std::uint64_t z) noexcept {
    if (x < y) {
        return y < z ? y : (x < z ? z : x);
    }
    return x < z ? x : (y < z ? z : y);
}

std::uint64_t choose_pivot(const text_sort_record* a, std::uint32_t n) noexcept {
    if (n < 128) {
        return median_of_three(a[0].key, a[n / 2].key, a[n - 1].key);
    }
    const std::uint32_t s = n / 8;
    return median_of_three(median_of_three(a[0].key, a[s].key, a[2 * s].key),
                           median_of_three(a[3 * s].key, a[4 * s].key, a[5 * s].key),
                           median_of_three(a[6 * s].key, a[7 * s].key, a[n - 1].key));
}

struct range {
    text_sort_record* first;
    std::uint32_t count;
    std::uint32_t depth;
};

// Every record of a range shares the first `depth` bytes of its text with the
// others, and its key holds the bytes from depth on. Ranges that are split
// off hold texts different from every text outside them, so each range marks
// its own values.
void sort_range(range r) noexcept {
    for (;;) {
        text_sort_record* a = r.first;
        const std::uint32_t n = r.count;
        if (n <= small_range) {
            if (n > 0) {
                sort_small(a, n, r.depth);
            }
            return;
        }
        // Three-way partition by key: [0, lt) below, [lt, gt) equal, [gt, n) above.
        const std::uint64_t pivot = choose_pivot(a, n);
        std::uint32_t lt = 0;
        std::uint32_t i = 0;
        std::uint32_t gt = n;
        while (i < gt) {
            const std::uint64_t key = a[i].key;
            if (key < pivot) {
                std::swap(a[lt++], a[i++]);
            } else if (key > pivot) {
                std::swap(a[i], a[--gt]);
            } else {
                ++i;
            }
        }
        range parts[3] = {{a, lt, r.depth}, {a + gt, n - gt, r.depth}, {a + lt, gt - lt, 0}};
        const std::uint32_t next_depth = r.depth + key_bytes;
        if (a[lt].length < next_depth) {
            // The equal texts all end inside the key: one value.
            mark_one_value(a + lt, gt - lt);
            parts[2].count = 0;
        } else {
            for (std::uint32_t k = lt; k < gt; ++k) {
                a[k].key = key_at(a[k].text, a[k].length, next_depth);
            }
            parts[2].depth = next_depth;
        }
        // Recurse into the two smaller parts (each at most half), go on with
        // the largest: the stack depth stays logarithmic.
        std::uint32_t largest = 0;
        for (std::uint32_t p = 1; p < 3; ++p) {
            if (parts[p].count > parts[largest].count) {
                largest = p;
            }
        }
        for (std::uint32_t p = 0; p < 3; ++p) {
            if (p != largest && parts[p].count != 0) {
                sort_range(parts[p]);
            }
        }
        r = parts[largest];
    }
}

} // namespace

text_sort_record make_text_sort_record(const char* text, std::uint32_t length,
                                       std::uint32_t count) noexcept {
    return text_sort_record{key_at(text, length, 0), text, length, count};
}

void sort_texts(text_sort_record* records, std::uint32_t count) noexcept {
    sort_range(range{records, count, 0});
}

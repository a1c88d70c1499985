#include "engine/text_order.h"

#include "engine/radix_sort.h"

#include <cstring>
#include <memory>
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

// Large ranges are sorted by a radix sort of their keys, which reads each
// record a few times whatever the number of distinct keys; smaller ones by
// three-way partitions, which stay in the cache.
constexpr std::uint32_t radix_range = 4096;

class text_sorter {
public:
    // scratch: as many records as records (or null when there are no more
    // than radix_range), histogram: radix_histogram_size counts.
    text_sorter(text_sort_record* records, text_sort_record* scratch, std::uint32_t* histogram)
        : m_records(records), m_scratch(scratch), m_histogram(histogram) {}

    // Every record of a range shares the first `depth` bytes of its text
    // with the others, and its key holds the bytes from depth on. Ranges that
    // are split off hold texts different from every text outside them, so
    // each range marks its own values.
    void sort(range r) noexcept {
        for (;;) {
            if (r.count <= small_range) {
                if (r.count > 0) {
                    sort_small(r.first, r.count, r.depth);
                }
                return;
            }
            r = r.count <= radix_range ? partition_step(r) : radix_step(r);
        }
    }

private:
    // Reloads the keys of a run of equal keys at the next depth, or marks it
    // as one value when its texts end inside the key. Returns the run to go
    // on with (empty when done).
    static range deepen(text_sort_record* a, std::uint32_t n, std::uint32_t depth) noexcept {
        const std::uint32_t next_depth = depth + key_bytes;
        if (n == 1) {
            a[0].key = 1;
            return range{a, 0, 0};
        }
        if (a[0].length < next_depth) {
            mark_one_value(a, n);
            return range{a, 0, 0};
        }
        // The texts of a run lie anywhere in memory: ask for them ahead.
        constexpr std::uint32_t ahead = 16;
        for (std::uint32_t k = 0; k < n; ++k) {
            if (k + ahead < n) {
                __builtin_prefetch(a[k + ahead].text + next_depth);
            }
            a[k].key = key_at(a[k].text, a[k].length, next_depth);
        }
        return range{a, n, next_depth};
    }

    // Goes on with the largest part and sorts the others at once: each of
    // them is at most half of the range, so the stack depth stays logarithmic.
    range keep_largest(range& largest, range candidate) noexcept {
        if (candidate.count > largest.count) {
            std::swap(largest, candidate);
        }
        if (candidate.count != 0) {
            sort(candidate);
        }
        return largest;
    }

    // Three-way partition by key: below, equal (deepened), above.
    range partition_step(range r) noexcept {
        text_sort_record* a = r.first;
        const std::uint32_t n = r.count;
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
        range largest{a, lt, r.depth};
        keep_largest(largest, range{a + gt, n - gt, r.depth});
        return keep_largest(largest, deepen(a + lt, gt - lt, r.depth));
    }

    // Radix sort by key, then every run of equal keys deepened.
    range radix_step(range r) noexcept {
        text_sort_record* a = r.first;
        const std::uint32_t n = r.count;
        std::uint64_t differing = 0;
        for (std::uint32_t i = 1; i < n; ++i) {
            differing |= a[i].key ^ a[0].key;
        }
        if (differing == 0) {
            return deepen(a, n, r.depth);
        }
        if (radix_detail::bit_width(differing) > 2 * split_bits) {
            return split_step(r, differing);
        }
        radix_sort(a, m_scratch + (a - m_records), m_histogram, n, differing,
                   [](const text_sort_record& record) { return record.key; });
        range largest{a, 0, 0};
        for (std::uint32_t i = 0; i < n;) {
            std::uint32_t j = i + 1;
            while (j < n && a[j].key == a[i].key) {
                ++j;
            }
            keep_largest(largest, deepen(a + i, j - i, r.depth));
            i = j;
        }
        return largest;
    }

    // Keys that differ in many bits (texts of many kinds) are first split by
    // their highest bits into ranges of like texts, whose keys then differ
    // in fewer bits and need fewer radix passes.
    range split_step(range r, std::uint64_t differing) noexcept {
        text_sort_record* a = r.first;
        const std::uint32_t n = r.count;
        const unsigned shift = radix_detail::bit_width(differing) - split_bits;
        constexpr std::uint32_t buckets = std::uint32_t{1} << split_bits;
        std::uint32_t offsets[buckets + 1] = {};
        for (std::uint32_t i = 0; i < n; ++i) {
            ++offsets[((a[i].key >> shift) & (buckets - 1)) + 1];
        }
        for (std::uint32_t b = 0; b < buckets; ++b) {
            offsets[b + 1] += offsets[b];
        }
        std::uint32_t starts[buckets + 1];
        std::copy(offsets, offsets + buckets + 1, starts);
        text_sort_record* scratch = m_scratch + (a - m_records);
        for (std::uint32_t i = 0; i < n; ++i) {
            scratch[offsets[(a[i].key >> shift) & (buckets - 1)]++] = a[i];
        }
        std::memcpy(static_cast<void*>(a), scratch, std::size_t{n} * sizeof(text_sort_record));
        range largest{a, 0, 0};
        for (std::uint32_t b = 0; b < buckets; ++b) {
            keep_largest(largest, range{a + starts[b], starts[b + 1] - starts[b], r.depth});
        }
        return largest;
    }

    static constexpr unsigned split_bits = 8;

    text_sort_record* m_records;
    text_sort_record* m_scratch;
    std::uint32_t* m_histogram;
};

} // namespace

text_sort_record make_text_sort_record(const char* text, std::uint32_t length,
                                       std::uint32_t count) noexcept {
    return text_sort_record{key_at(text, length, 0), text, length, count};
}

int compare_texts(const text_sort_record& a, const text_sort_record& b) noexcept {
    return compare_from(a, b, 0);
}

void sort_texts(text_sort_record* records, std::uint32_t count) {
    // All memory first: the sort itself cannot fail.
    std::unique_ptr<text_sort_record[]> scratch;
    std::unique_ptr<std::uint32_t[]> histogram;
    if (count > radix_range) {
        scratch.reset(new text_sort_record[count]);
        histogram.reset(new std::uint32_t[radix_histogram_size]);
    }
    text_sorter(records, scratch.get(), histogram.get()).sort(range{records, count, 0});
}

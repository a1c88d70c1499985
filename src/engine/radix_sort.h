// Least-significant-digit radix sort of records by a 64-bit key, looking only
// at the key bits that differ between the records. Shared by the sorts of
// addresses and of text keys.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace radix_detail {

inline unsigned lowest_bit(std::uint64_t bits) {
    unsigned n = 0;
    while ((bits & 1) == 0) {
        bits >>= 1;
        ++n;
    }
    return n;
}

inline unsigned bit_width(std::uint64_t bits) {
    unsigned n = 0;
    while (bits != 0) {
        bits >>= 1;
        ++n;
    }
    return n;
}

constexpr unsigned max_digit_bits = 11;
constexpr unsigned max_passes = (64 + max_digit_bits - 1) / max_digit_bits;

} // namespace radix_detail

// Room for the digit histograms of one radix_sort.
inline constexpr std::size_t radix_histogram_size = std::size_t{radix_detail::max_passes}
                                                    << radix_detail::max_digit_bits;

// Sorts items[0 .. count) ascending by key(item), stably, with scratch[0 ..
// count) as the second buffer and histogram[0 .. radix_histogram_size) for
// the counts; the result ends in items. differing has the bits set in which
// some keys differ from the first one (0: nothing to do). Allocates nothing.
template <typename Record, typename KeyOf>
void radix_sort(Record* items, Record* scratch, std::uint32_t* histogram, std::uint32_t count,
                std::uint64_t differing, KeyOf key_of) noexcept {
    if (count < 2 || differing == 0) {
        return;
    }
    using radix_detail::max_digit_bits;
    const unsigned low = radix_detail::lowest_bit(differing);
    const unsigned bits = radix_detail::bit_width(differing) - low;
    const unsigned passes = (bits + max_digit_bits - 1) / max_digit_bits;
    const unsigned digit_bits = (bits + passes - 1) / passes;
    const std::uint32_t buckets = std::uint32_t{1} << digit_bits;
    const std::uint64_t digit_mask = buckets - 1;

    // All digit histograms in one reading pass.
    std::uint32_t* const histograms = histogram;
    std::fill(histograms, histograms + std::size_t{passes} * buckets, 0u);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t key = key_of(items[i]) >> low;
        for (unsigned p = 0; p < passes; ++p) {
            ++histograms[std::size_t{p} * buckets + ((key >> (p * digit_bits)) & digit_mask)];
        }
    }
    Record* source = items;
    Record* target = scratch;
    for (unsigned p = 0; p < passes; ++p) {
        std::uint32_t* offsets = histograms + std::size_t{p} * buckets;
        // A digit that is the same for every record leaves the order as it is.
        if (std::find(offsets, offsets + buckets, count) != offsets + buckets) {
            continue;
        }
        std::uint32_t sum = 0;
        for (std::uint32_t b = 0; b < buckets; ++b) {
            const std::uint32_t n = offsets[b];
            offsets[b] = sum;
            sum += n;
        }
        const unsigned shift = low + p * digit_bits;
        for (std::uint32_t i = 0; i < count; ++i) {
            target[offsets[(key_of(source[i]) >> shift) & digit_mask]++] = source[i];
        }
        std::swap(source, target);
    }
    if (source != items) {
        std::memcpy(static_cast<void*>(items), source, std::size_t{count} * sizeof(Record));
    }
}

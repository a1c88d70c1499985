#include "engine/address_sort.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr unsigned max_digit_bits = 11;
constexpr std::uint32_t small_input = 64;

unsigned lowest_bit(std::uintptr_t bits) {
    unsigned n = 0;
    while ((bits & 1) == 0) {
        bits >>= 1;
        ++n;
    }
    return n;
}

unsigned bit_width(std::uintptr_t bits) {
    unsigned n = 0;
    while (bits != 0) {
        bits >>= 1;
        ++n;
    }
    return n;
}

void insertion_sort(address_value* items, std::uint32_t count) {
    for (std::uint32_t i = 1; i < count; ++i) {
        const address_value item = items[i];
        std::uint32_t j = i;
        while (j > 0 && items[j - 1].address > item.address) {
            items[j] = items[j - 1];
            --j;
        }
        items[j] = item;
    }
}

} // namespace

void sort_by_address(address_value* items, std::uint32_t count) {
    if (count < 2) {
        return;
    }
    // One pass: is it in order already, and which address bits differ at all?
    const std::uintptr_t first = items[0].address;
    std::uintptr_t differing = 0;
    bool in_order = true;
    for (std::uint32_t i = 1; i < count; ++i) {
        differing |= items[i].address ^ first;
        in_order = in_order && items[i - 1].address <= items[i].address;
    }
    if (in_order) {
        return;
    }
    if (count <= small_input) {
        insertion_sort(items, count);
        return;
    }
    const unsigned low = lowest_bit(differing);
    const unsigned bits = bit_width(differing) - low;
    const unsigned passes = (bits + max_digit_bits - 1) / max_digit_bits;
    const unsigned digit_bits = (bits + passes - 1) / passes;
    const std::uint32_t buckets = std::uint32_t{1} << digit_bits;
    const std::uintptr_t digit_mask = buckets - 1;

    // All digit histograms in one reading pass.
    std::unique_ptr<std::uint32_t[]> histograms(new std::uint32_t[std::size_t{passes} * buckets]());
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uintptr_t address = items[i].address >> low;
        for (unsigned p = 0; p < passes; ++p) {
            ++histograms[std::size_t{p} * buckets + ((address >> (p * digit_bits)) & digit_mask)];
        }
    }
    std::unique_ptr<address_value[]> scratch(new address_value[count]);
    address_value* source = items;
    address_value* target = scratch.get();
    for (unsigned p = 0; p < passes; ++p) {
        std::uint32_t* offsets = histograms.get() + std::size_t{p} * buckets;
        // A digit that is the same for every item leaves the order as it is.
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
            const address_value item = source[i];
            target[offsets[(item.address >> shift) & digit_mask]++] = item;
        }
        std::swap(source, target);
    }
    if (source != items) {
        std::memcpy(static_cast<void*>(items), source, std::size_t{count} * sizeof(address_value));
    }
}

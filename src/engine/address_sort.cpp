#include "engine/address_sort.h"

#include <memory>

#include "engine/radix_sort.h"

namespace {

constexpr std::uint32_t small_input = 64;

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
    std::unique_ptr<address_value[]> scratch(new address_value[count]);
    std::unique_ptr<std::uint32_t[]> histogram(new std::uint32_t[radix_histogram_size]);
    radix_sort(items, scratch.get(), histogram.get(), count, differing,
               [](const address_value& item) { return std::uint64_t{item.address}; });
}

std::uint32_t sort_and_collapse(address_value* items, std::uint32_t count) {
    sort_by_address(items, count);
    std::uint32_t distinct = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (distinct != 0 && items[distinct - 1].address == items[i].address) {
            items[distinct - 1].value = add_saturating(items[distinct - 1].value, items[i].value);
        } else {
            items[distinct++] = items[i];
        }
    }
    return distinct;
}

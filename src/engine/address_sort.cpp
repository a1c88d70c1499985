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

void address_sort_buffer::release() noexcept {
    m_scratch.reset();
    m_capacity = 0;
    m_histogram.reset();
}

void sort_by_address(address_value* items, std::uint32_t count) {
    address_sort_buffer buffer;
    sort_by_address(items, count, buffer);
}

void sort_by_address(address_value* items, std::uint32_t count, address_sort_buffer& buffer) {
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
    if (!buffer.m_histogram) {
        buffer.m_histogram.reset(new std::uint32_t[radix_histogram_size]);
    }
    if (buffer.m_capacity < count) {
        buffer.m_scratch.reset(); // the old room is not needed while the new one is had
        buffer.m_capacity = 0;
        buffer.m_scratch.reset(new address_value[count]);
        buffer.m_capacity = count;
    }
    radix_sort(items, buffer.m_scratch.get(), buffer.m_histogram.get(), count, differing,
               [](const address_value& item) { return std::uint64_t{item.address}; });
}

std::uint32_t sort_and_collapse(address_value* items, std::uint32_t count,
                                address_sort_buffer& buffer) {
    sort_by_address(items, count, buffer);
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

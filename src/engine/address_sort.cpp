#include "engine/address_sort.h"

#include <memory>

#include "engine/radix_sort.h"

namespace {

constexpr std::uint32_t small_input = 64;

// Sorts records by the address key_of gives: nothing when they are in
// order, insertion for a few, else a radix sort over the bits that differ.
template <typename Record, typename KeyOf>
void sort_records(Record* items, std::uint32_t count, address_sort_buffer& buffer, KeyOf key_of) {
    if (count < 2) {
        return;
    }
    // One pass: is it in order already, and which address bits differ at all?
    const std::uintptr_t first = key_of(items[0]);
    std::uintptr_t differing = 0;
    bool in_order = true;
    for (std::uint32_t i = 1; i < count; ++i) {
        differing |= key_of(items[i]) ^ first;
        in_order = in_order && key_of(items[i - 1]) <= key_of(items[i]);
    }
    if (in_order) {
        return;
    }
    if (count <= small_input) {
        for (std::uint32_t i = 1; i < count; ++i) {
            const Record item = items[i];
            std::uint32_t j = i;
            while (j > 0 && key_of(items[j - 1]) > key_of(item)) {
                items[j] = items[j - 1];
                --j;
            }
            items[j] = item;
        }
        return;
    }
    std::uint32_t* histogram = buffer.histogram();
    Record* scratch = buffer.scratch<Record>(count);
    radix_sort(items, scratch, histogram, count, differing,
               [&](const Record& item) { return std::uint64_t{key_of(item)}; });
}

} // namespace

void address_sort_buffer::release() noexcept {
    m_scratch.reset();
    m_bytes = 0;
    m_histogram.reset();
}

void address_sort_buffer::reserve(std::size_t bytes) {
    if (m_bytes >= bytes) {
        return;
    }
    m_scratch.reset(); // the old room is not needed while the new one is had
    m_bytes = 0;
    m_scratch.reset(::operator new(bytes));
    m_bytes = bytes;
}

std::uint32_t* address_sort_buffer::histogram() {
    if (!m_histogram) {
        m_histogram.reset(new std::uint32_t[radix_histogram_size]);
    }
    return m_histogram.get();
}

void sort_by_address(address_value* items, std::uint32_t count) {
    address_sort_buffer buffer;
    sort_by_address(items, count, buffer);
}

void sort_by_address(address_value* items, std::uint32_t count, address_sort_buffer& buffer) {
    sort_records(items, count, buffer, [](const address_value& item) { return item.address; });
}

void sort_addresses(std::uintptr_t* addresses, std::uint32_t count, address_sort_buffer& buffer) {
    sort_records(addresses, count, buffer, [](std::uintptr_t address) { return address; });
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

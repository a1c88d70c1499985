// Sorting of (address, value) pairs by address: the engine's way to order
// host pointers (string objects, track handles) without a search per item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "support/array.h"

// A machine address with a 32-bit value attached (a reference count, or the
// index the address came from).
struct address_value {
    std::uintptr_t address;
    std::uint32_t value;
};

using address_value_array = array_t<address_value, alloc_fast_aggressive>;

// The second buffer and the digit counts of sorts by address, kept from one
// sort to the next. A series of sorts (the chunks of one walk over the
// tracks) then asks for its scratch once: a block this large, allocated anew
// for each sort, can come straight from the system each time (the Windows
// heap does that for large blocks) as fresh pages to be cleared on first
// touch.
class address_sort_buffer {
public:
    address_sort_buffer() = default;
    address_sort_buffer(const address_sort_buffer&) = delete;
    address_sort_buffer& operator=(const address_sort_buffer&) = delete;

    // Gives back the storage (the next sort asks for it again).
    void release() noexcept;

    // Room for count records of a trivially copyable type, grown when it is
    // too small; raises std::bad_alloc (the buffer is then empty).
    template <typename Record> Record* scratch(std::uint32_t count) {
        reserve(std::size_t{count} * sizeof(Record));
        return static_cast<Record*>(static_cast<void*>(m_scratch.get()));
    }
    std::uint32_t* histogram();

private:
    struct free_storage {
        void operator()(void* p) const noexcept { ::operator delete(p); }
    };
    void reserve(std::size_t bytes);

    std::unique_ptr<void, free_storage> m_scratch;
    std::size_t m_bytes = 0;
    std::unique_ptr<std::uint32_t[]> m_histogram;
};

// Sorts items ascending by address (unsigned). Stable: pairs with the same
// address keep their order. A least-significant-digit radix sort over the
// address bits that differ between the items, so the cost is a few linear
// passes whatever the order of the input; input that is already in order is
// recognised in one pass. Raises std::bad_alloc (items unchanged) when the
// scratch array cannot be had.
void sort_by_address(address_value* items, std::uint32_t count);
// The same with buffer's storage as scratch, grown when it is too small (a
// failure to grow leaves items unchanged and the buffer perhaps empty).
void sort_by_address(address_value* items, std::uint32_t count, address_sort_buffer& buffer);
// Sorts bare addresses ascending, with buffer's storage as scratch; raises
// like the sort above.
void sort_addresses(std::uintptr_t* addresses, std::uint32_t count, address_sort_buffer& buffer);

// a + b, staying at 4294967295 instead of wrapping: how references to one
// string object are counted.
inline std::uint32_t add_saturating(std::uint32_t a, std::uint32_t b) noexcept {
    const std::uint32_t sum = a + b;
    return sum < a ? 0xFFFFFFFFu : sum;
}

// Sorts items by address and collapses each address into its first entry
// with the saturating sum of the values; returns the number of entries
// left. Raises std::bad_alloc (items unchanged) like sort_by_address.
std::uint32_t sort_and_collapse(address_value* items, std::uint32_t count,
                                address_sort_buffer& buffer);

// The abstract list interfaces. Their operation order is a binary interface
// shared with the host (the media library appends to our track list through
// insert_list, reading its own list through item_count and copy_item): never
// reorder, never add a virtual destructor, never overload a virtual.
#pragma once

#include <cstdint>

#include "support/bit_array.h"

template <typename T> class list_base_const_t {
public:
    virtual std::uint32_t item_count() const = 0;
    // Copies element index into destination (for counted references the
    // destination takes a reference and gives back the one it held).
    virtual void copy_item(T& destination, std::uint32_t index) const = 0;

protected:
    ~list_base_const_t() = default;
};

template <typename T> class list_base_t : public list_base_const_t<T> {
public:
    using compare_fn = int (*)(const T&, const T&);

    // Keeps every element whose bit is set, in order; one pass.
    virtual void keep_marked(const bit_array& mask) = 0;
    // Inserts all elements of source before position (clamped to the count);
    // returns the position used.
    virtual std::uint32_t insert_list(const list_base_const_t<T>& source,
                                      std::uint32_t position) = 0;
    // Permutes elements base .. base + count - 1: order[i] names the element
    // that ends at base + i.
    virtual void reorder_range(std::uint32_t base, const std::uint32_t* order,
                               std::uint32_t count) = 0;
    virtual void sort_items(compare_fn compare) = 0;
    virtual void sort_items_stable(compare_fn compare) = 0;
    virtual void store_item(std::uint32_t index, const T& value) = 0;
    virtual void exchange_item(std::uint32_t index, T& value) = 0;
    virtual void swap_positions(std::uint32_t i, std::uint32_t j) = 0;

protected:
    ~list_base_t() = default;
};

// list_t: the generic list over array_t. The virtual operations of
// list_base_t are what the host calls on our lists; code of our own uses the
// inline non-virtual ones (element access, push_item, insert_at,
// remove_marked, remove_all), which never dispatch.
#pragma once

#include <cstdint>
#include <utility>

#include "support/array.h"
#include "support/bit_array.h"
#include "support/list_base.h"
#include "support/sort.h"

template <typename T, typename Storage> class list_impl_t : public list_base_t<T> {
public:
    using compare_fn = typename list_base_t<T>::compare_fn;
    using value_type = T;

    // ------------------------------------------------ non-virtual access
    std::uint32_t get_count() const noexcept { return m_items.size(); }
    std::uint32_t size() const noexcept { return m_items.size(); }
    std::uint32_t capacity() const noexcept { return m_items.capacity(); }
    T& operator[](std::uint32_t i) noexcept { return m_items[i]; }
    const T& operator[](std::uint32_t i) const noexcept { return m_items[i]; }
    T* data() noexcept { return m_items.data(); }
    const T* data() const noexcept { return m_items.data(); }
    T* begin() noexcept { return m_items.begin(); }
    T* end() noexcept { return m_items.end(); }
    const T* begin() const noexcept { return m_items.begin(); }
    const T* end() const noexcept { return m_items.end(); }

    // Appends a copy of item (which may be an element of this list); returns its index.
    std::uint32_t push_item(const T& item) { return m_items.append(item); }

    // Inserts a copy of item before position (clamped to the count); returns
    // the position used. Nothing is inserted when the growth fails.
    std::uint32_t insert_at(std::uint32_t position, const T& item) {
        const std::uint32_t count = m_items.size();
        if (position > count) {
            position = count;
        }
        if (m_items.holds(&item)) {
            T copy(item);
            return insert_moved(position, std::move(copy));
        }
        grow_by_one();
        for (std::uint32_t i = count; i > position; --i) {
            m_items[i] = std::move(m_items[i - 1]);
        }
        m_items[position] = item;
        return position;
    }

    // Removes every element whose bit is set.
    void remove_marked(const bit_array& mask) { keep_marked_impl(bit_array_not(mask)); }
    void remove_all() { keep_marked_impl(bit_array_false()); }

    // Sets the count: new elements are value-initialised, elements beyond n are destroyed.
    void set_count(std::uint32_t n) { m_items.set_size(n); }

    // ------------------------------------------------ list_base_t
    std::uint32_t item_count() const override { return m_items.size(); }
    void copy_item(T& destination, std::uint32_t index) const override {
        destination = m_items[index];
    }
    void keep_marked(const bit_array& mask) override { keep_marked_impl(mask); }
    std::uint32_t insert_list(const list_base_const_t<T>& source, std::uint32_t position) override {
        if (static_cast<const list_base_const_t<T>*>(this) == &source) {
            // Inserting the list into itself: take a copy of its elements first.
            Storage copy(m_items);
            source_view view(copy);
            return insert_list_impl(view, position);
        }
        return insert_list_impl(source, position);
    }
    void reorder_range(std::uint32_t base, const std::uint32_t* order,
                       std::uint32_t count) override {
        reorder_callback_impl_t<Storage> items(m_items);
        reorder_callback_impl_delta shifted(items, base);
        apply_order(shifted, order, count);
    }
    void sort_items(compare_fn compare) override {
        sort_callback_impl_simple_wrap_t<Storage, sort_callback_wrapper> callback(
            m_items, sort_callback_wrapper{compare});
        sort_indexed(m_items.size(), callback);
    }
    void sort_items_stable(compare_fn compare) override {
        sort_callback_impl_simple_wrap_t<Storage, sort_callback_wrapper> callback(
            m_items, sort_callback_wrapper{compare});
        sort_indexed_stable(m_items.size(), callback);
    }
    void store_item(std::uint32_t index, const T& value) override { m_items[index] = value; }
    void exchange_item(std::uint32_t index, T& value) override {
        using std::swap;
        swap(m_items[index], value);
    }
    void swap_positions(std::uint32_t i, std::uint32_t j) override {
        using std::swap;
        swap(m_items[i], m_items[j]);
    }

protected:
    list_impl_t() = default;
    list_impl_t(const list_impl_t&) = default;
    list_impl_t(list_impl_t&&) noexcept = default;
    list_impl_t& operator=(const list_impl_t&) = default;
    list_impl_t& operator=(list_impl_t&&) noexcept = default;
    ~list_impl_t() = default;

    Storage m_items;

private:
    // The caller's element comparator as the sort's comparison.
    struct sort_callback_wrapper {
        compare_fn compare;
        int operator()(const T& a, const T& b) const { return compare(a, b); }
    };

    // Read access to a copy of the elements, for inserting a list into itself.
    class source_view final : public list_base_const_t<T> {
    public:
        explicit source_view(const Storage& items) : m_source(items) {}
        std::uint32_t item_count() const override { return m_source.size(); }
        void copy_item(T& destination, std::uint32_t index) const override {
            destination = m_source[index];
        }

    private:
        const Storage& m_source;
    };

    void grow_by_one() {
        const std::uint32_t count = m_items.size();
        if (count == 0xFFFFFFFFu) {
            array_detail::throw_bad_alloc();
        }
        m_items.set_size(count + 1);
    }

    std::uint32_t insert_moved(std::uint32_t position, T&& item) {
        const std::uint32_t count = m_items.size();
        grow_by_one();
        for (std::uint32_t i = count; i > position; --i) {
            m_items[i] = std::move(m_items[i - 1]);
        }
        m_items[position] = std::move(item);
        return position;
    }

    std::uint32_t insert_list_impl(const list_base_const_t<T>& source, std::uint32_t position) {
        const std::uint32_t count = m_items.size();
        if (position > count) {
            position = count;
        }
        const std::uint32_t m = source.item_count();
        if (std::uint64_t{count} + m > 0xFFFFFFFFull) {
            array_detail::throw_bad_alloc();
        }
        // The count is set also when nothing is inserted: the policy decides
        // the storage as for any other count.
        m_items.set_size(count + m);
        if (m == 0) {
            return position;
        }
        // Move the old tail up by m, exchanging from the end downwards.
        using std::swap;
        for (std::uint32_t i = count; i > position; --i) {
            swap(m_items[i - 1], m_items[i - 1 + m]);
        }
        for (std::uint32_t k = 0; k < m; ++k) {
            source.copy_item(m_items[position + k], k);
        }
        return position;
    }

    // One pass of exchanges brings the kept elements forward in order; the
    // dropped ones end behind the new count and are destroyed by the resize.
    void keep_marked_impl(const bit_array& mask) {
        const std::uint32_t n = m_items.size();
        std::uint32_t b = mask.first_with(false, 0, n);
        if (b >= n) {
            return;
        }
        using std::swap;
        std::uint32_t c = mask.first_with(true, b + 1, n - b - 1);
        while (c < n) {
            swap(m_items[b], m_items[c]);
            ++b;
            c = mask.first_with(true, c + 1, n - c - 1);
        }
        m_items.set_size(b);
    }
};

template <typename T, typename Policy = alloc_fast>
class list_t : public list_impl_t<T, array_t<T, Policy>> {
public:
    list_t() = default;
    list_t(const list_t&) = default;
    list_t(list_t&&) noexcept = default;
    list_t& operator=(const list_t&) = default;
    list_t& operator=(list_t&&) noexcept = default;
    ~list_t() = default;
};

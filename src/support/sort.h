// Sorting, searching and reordering by position. Code never hands elements to
// these routines: it hands small callback objects that compare and exchange
// elements by index, so large record arrays can be sorted through a
// permutation of 32-bit indexes without moving the records.
#pragma once

#include <cstdint>
#include <utility>

// Compares and exchanges elements by position.
class sort_callback {
public:
    // Negative when element i sorts before element j, 0 when equal, positive after.
    virtual int compare_at(std::uint32_t i, std::uint32_t j) = 0;
    virtual void swap_at(std::uint32_t i, std::uint32_t j) = 0;

protected:
    ~sort_callback() = default;
};

// Compares the element at a position with the searched key.
class bsearch_callback {
public:
    // Negative when element i sorts before the key, 0 when it matches, positive after.
    virtual int compare_key_at(std::uint32_t i) const = 0;

protected:
    ~bsearch_callback() = default;
};

// Exchanges elements by position.
class reorder_callback {
public:
    virtual void swap_at(std::uint32_t i, std::uint32_t j) = 0;

protected:
    ~reorder_callback() = default;
};

// Sorts positions 0 .. n - 1 ascending (iterative quicksort with median-of-three
// pivots, selection sort for ranges of at most 8). Not stable; n < 2 makes no call.
void sort_indexed(std::uint32_t n, sort_callback& callback);

// The same, keeping equal elements in their order. Raises std::bad_alloc when
// the position array cannot be allocated (nothing was moved then).
void sort_indexed_stable(std::uint32_t n, sort_callback& callback);

// Binary search over positions 0 .. n - 1 in ascending order. True with the
// matching position (the first one met), or false with the insertion position.
bool search_indexed(std::uint32_t n, const bsearch_callback& callback, std::uint32_t& position);

// Permutes positions 0 .. n - 1: order[i] names the element that ends at i.
// order must be a permutation of 0 .. n - 1.
void apply_order(reorder_callback& callback, const std::uint32_t* order, std::uint32_t n);

// ------------------------------------------------------- implementations

// Sorts a container with operator[] in place by a comparison of two elements.
template <typename Container, typename Compare>
class sort_callback_impl_simple_wrap_t final : public sort_callback {
public:
    sort_callback_impl_simple_wrap_t(Container& container, Compare compare)
        : m_container(container), m_compare(compare) {}
    int compare_at(std::uint32_t i, std::uint32_t j) override {
        return m_compare(m_container[i], m_container[j]);
    }
    void swap_at(std::uint32_t i, std::uint32_t j) override {
        using std::swap;
        swap(m_container[i], m_container[j]);
    }

private:
    Container& m_container;
    Compare m_compare;
};

// Sorts a permutation of positions instead of the container: compare_at
// compares elements index[i] and index[j]; swap_at exchanges index entries.
// The container itself is not changed.
template <typename Container, typename Compare>
class sort_callback_impl_permutation_wrap_t final : public sort_callback {
public:
    sort_callback_impl_permutation_wrap_t(const Container& container, Compare compare,
                                          std::uint32_t* index)
        : m_container(container), m_compare(compare), m_index(index) {}
    int compare_at(std::uint32_t i, std::uint32_t j) override {
        return m_compare(m_container[m_index[i]], m_container[m_index[j]]);
    }
    void swap_at(std::uint32_t i, std::uint32_t j) override { std::swap(m_index[i], m_index[j]); }

private:
    const Container& m_container;
    Compare m_compare;
    std::uint32_t* m_index;
};

// Searches a container with operator[] by a function (element, key) → int.
template <typename Container, typename Key, typename Compare>
class bsearch_callback_impl_simple_t final : public bsearch_callback {
public:
    bsearch_callback_impl_simple_t(const Container& container, Compare compare, const Key& key)
        : m_container(container), m_compare(compare), m_key(key) {}
    int compare_key_at(std::uint32_t i) const override { return m_compare(m_container[i], m_key); }

private:
    const Container& m_container;
    Compare m_compare;
    const Key& m_key;
};

// Exchanges elements of a container with operator[].
template <typename Container> class reorder_callback_impl_t final : public reorder_callback {
public:
    explicit reorder_callback_impl_t(Container& container) : m_container(container) {}
    void swap_at(std::uint32_t i, std::uint32_t j) override {
        using std::swap;
        swap(m_container[i], m_container[j]);
    }

private:
    Container& m_container;
};

// Forwards to another callback with positions shifted by base.
class reorder_callback_impl_delta final : public reorder_callback {
public:
    reorder_callback_impl_delta(reorder_callback& inner, std::uint32_t base)
        : m_inner(inner), m_base(base) {}
    void swap_at(std::uint32_t i, std::uint32_t j) override {
        m_inner.swap_at(i + m_base, j + m_base);
    }

private:
    reorder_callback& m_inner;
    std::uint32_t m_base;
};

// array_t: contiguous, owned storage of elements with a storage policy that
// decides the capacity for a given count. Elements at positions count ..
// capacity - 1 do not exist as values; every element that leaves the used
// range is destroyed at once (counted references are given back).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

// Storage policies.
// Capacity is exactly the count.
struct alloc_standard {};
// Capacity doubles from the current one (1 if none) while below the count,
// then halves while a quarter of it exceeds the count.
struct alloc_fast {};
// Capacity only grows, by doubling from the current one (1 if none).
struct alloc_fast_aggressive {};

namespace array_detail {

[[noreturn]] void throw_bad_alloc();

constexpr std::uint64_t size_limit = 0xFFFFFFFFull;
// No block can be larger than the address difference type allows (2^31 - 1
// bytes in the 32-bit build).
constexpr std::uint64_t block_limit =
    size_limit < std::uint64_t{PTRDIFF_MAX} ? size_limit : std::uint64_t{PTRDIFF_MAX};

// Byte size of count elements; raises std::bad_alloc when it does not fit 32
// bits (or the address space).
inline std::size_t byte_size(std::uint32_t count, std::size_t element_size) {
    const std::uint64_t bytes = std::uint64_t{count} * element_size;
    if (bytes > block_limit) {
        throw_bad_alloc();
    }
    return static_cast<std::size_t>(bytes);
}

// Smallest power-of-two multiple of start (1 when start is 0) that is at
// least n; raises std::bad_alloc when a doubling overflows 32 bits.
inline std::uint32_t grow_by_doubling(std::uint32_t start, std::uint32_t n) {
    std::uint64_t capacity = start ? start : 1;
    while (capacity < n) {
        capacity *= 2;
        if (capacity > size_limit) {
            throw_bad_alloc();
        }
    }
    return static_cast<std::uint32_t>(capacity);
}

// The capacity a policy gives for count n, starting from capacity current.
// The doubling policies start from 1 when there is no storage, so setting the
// count of such an array, even to 0, gives it storage of one element.
inline std::uint32_t policy_capacity(alloc_standard, std::uint32_t, std::uint32_t n) {
    return n;
}

inline std::uint32_t policy_capacity(alloc_fast, std::uint32_t current, std::uint32_t n) {
    std::uint32_t capacity = grow_by_doubling(current, n);
    while (capacity / 4 > n) {
        capacity /= 2;
    }
    return capacity;
}

inline std::uint32_t policy_capacity(alloc_fast_aggressive, std::uint32_t current,
                                     std::uint32_t n) {
    return grow_by_doubling(current, n);
}

// Field layouts: element pointer, capacity, count; alloc_standard keeps no
// capacity of its own (it always equals the count).
template <typename T, typename Policy> struct array_fields {
    T* m_data = nullptr;
    std::uint32_t m_capacity = 0;
    std::uint32_t m_count = 0;

    std::uint32_t stored_capacity() const noexcept { return m_capacity; }
    void store_capacity(std::uint32_t capacity) noexcept { m_capacity = capacity; }
};

template <typename T> struct array_fields<T, alloc_standard> {
    T* m_data = nullptr;
    std::uint32_t m_count = 0;

    std::uint32_t stored_capacity() const noexcept { return m_count; }
    void store_capacity(std::uint32_t) noexcept {}
};

} // namespace array_detail

template <typename T, typename Policy = alloc_fast>
class array_t : private array_detail::array_fields<T, Policy> {
    using fields = array_detail::array_fields<T, Policy>;
    using fields::m_count;
    using fields::m_data;
    static constexpr bool relocatable = std::is_trivially_copyable_v<T>;
    static_assert(relocatable || std::is_nothrow_move_constructible_v<T>,
                  "elements are moved between blocks and must not throw while moving");

public:
    using value_type = T;
    using policy_type = Policy;

    array_t() noexcept = default;
    explicit array_t(std::uint32_t n) { set_size(n); }
    array_t(const array_t& other) { assign_from(other); }
    array_t(array_t&& other) noexcept { take(other); }
    ~array_t() { release_storage(); }

    array_t& operator=(const array_t& other) {
        if (this != &other) {
            array_t copy(other);
            swap(copy);
        }
        return *this;
    }
    array_t& operator=(array_t&& other) noexcept {
        if (this != &other) {
            release_storage();
            take(other);
        }
        return *this;
    }

    std::uint32_t size() const noexcept { return m_count; }
    std::uint32_t capacity() const noexcept { return this->stored_capacity(); }
    bool empty() const noexcept { return m_count == 0; }

    T* data() noexcept { return m_data; }
    const T* data() const noexcept { return m_data; }
    T& operator[](std::uint32_t i) noexcept { return m_data[i]; }
    const T& operator[](std::uint32_t i) const noexcept { return m_data[i]; }
    T* begin() noexcept { return m_data; }
    T* end() noexcept { return m_data + m_count; }
    const T* begin() const noexcept { return m_data; }
    const T* end() const noexcept { return m_data + m_count; }

    // Sets the count to n: elements beyond n are destroyed, new ones are
    // value-initialised (zero, or an empty reference). Raises std::bad_alloc
    // (the array unchanged) when the storage cannot be had or its size
    // overflows 32 bits. Shrinking never fails.
    void set_size(std::uint32_t n) {
        const std::uint32_t old_capacity = capacity();
        const std::uint32_t new_capacity = array_detail::policy_capacity(Policy{}, old_capacity, n);
        array_detail::byte_size(new_capacity, sizeof(T));
        if (new_capacity > old_capacity) {
            grow_to(new_capacity, n);
        } else {
            shrink_to(new_capacity, n);
        }
    }

    // Appends a copy of item (which may be an element of this array).
    std::uint32_t append(const T& item) {
        const std::uint32_t index = m_count;
        if (index < capacity()) {
            new (m_data + index) T(item);
            ++m_count;
        } else {
            append_slow(item);
        }
        return index;
    }

    void swap(array_t& other) noexcept { std::swap(as_fields(), other.as_fields()); }

    // True when p points into the elements in use.
    bool holds(const void* p) const noexcept {
        const auto address = reinterpret_cast<std::uintptr_t>(p);
        const auto first = reinterpret_cast<std::uintptr_t>(m_data);
        return m_data && address >= first && address < first + std::uintptr_t{m_count} * sizeof(T);
    }

private:
    fields& as_fields() noexcept { return *this; }

    void take(array_t& other) noexcept {
        as_fields() = other.as_fields();
        other.as_fields() = fields{};
    }

    // A copy of an empty array has no storage.
    void assign_from(const array_t& other) {
        const std::uint32_t n = other.m_count;
        if (n == 0) {
            return;
        }
        const std::uint32_t new_capacity = array_detail::policy_capacity(Policy{}, 0, n);
        T* block = allocate(new_capacity);
        std::uint32_t built = 0;
        try {
            for (; built < n; ++built) {
                new (block + built) T(other.m_data[built]);
            }
        } catch (...) {
            destroy(block, 0, built);
            std::free(block);
            throw;
        }
        m_data = block;
        m_count = n;
        this->store_capacity(new_capacity);
    }

    static T* allocate(std::uint32_t capacity) {
        void* block = std::malloc(array_detail::byte_size(capacity, sizeof(T)));
        if (!block) {
            array_detail::throw_bad_alloc();
        }
        return static_cast<T*>(block);
    }

    static void destroy(T* block, std::uint32_t from, std::uint32_t to) noexcept {
        if constexpr (!std::is_trivially_destructible_v<T>) {
            for (std::uint32_t i = from; i < to; ++i) {
                block[i].~T();
            }
        } else {
            (void)block;
            (void)from;
            (void)to;
        }
    }

    static void value_init(T* block, std::uint32_t from, std::uint32_t to) {
        if constexpr (relocatable && std::is_trivially_default_constructible_v<T>) {
            if (to > from) {
                std::memset(static_cast<void*>(block + from), 0,
                            std::size_t{to - from} * sizeof(T));
            }
        } else {
            std::uint32_t i = from;
            try {
                for (; i < to; ++i) {
                    new (block + i) T();
                }
            } catch (...) {
                destroy(block, from, i);
                throw;
            }
        }
    }

    void release_storage() noexcept {
        destroy(m_data, 0, m_count);
        std::free(m_data);
        as_fields() = fields{};
    }

    // Growth: new elements are built first, so a failure leaves the array as it was.
    void grow_to(std::uint32_t new_capacity, std::uint32_t n) {
        const std::uint32_t old_count = m_count;
        const std::uint32_t kept = old_count < n ? old_count : n;
        if constexpr (relocatable) {
            void* block = std::realloc(m_data, array_detail::byte_size(new_capacity, sizeof(T)));
            if (!block) {
                array_detail::throw_bad_alloc();
            }
            m_data = static_cast<T*>(block);
            this->store_capacity(new_capacity);
            // Value-initialisation of a trivially copyable type cannot throw here.
            value_init(m_data, kept, n);
            m_count = n;
        } else {
            T* block = allocate(new_capacity);
            try {
                value_init(block, kept, n);
            } catch (...) {
                std::free(block);
                throw;
            }
            for (std::uint32_t i = 0; i < kept; ++i) {
                new (block + i) T(std::move(m_data[i]));
                m_data[i].~T();
            }
            destroy(m_data, kept, old_count);
            std::free(m_data);
            m_data = block;
            this->store_capacity(new_capacity);
            m_count = n;
        }
    }

    void shrink_to(std::uint32_t new_capacity, std::uint32_t n) {
        const std::uint32_t old_capacity = capacity();
        const std::uint32_t old_count = m_count;
        if (n < old_count) {
            destroy(m_data, n, old_count);
            m_count = n;
        } else if (n > old_count) {
            value_init(m_data, old_count, n); // within the current block
            m_count = n;
        }
        if (new_capacity == old_capacity) {
            return;
        }
        if (new_capacity == 0) {
            std::free(m_data);
            m_data = nullptr;
            this->store_capacity(0);
            return;
        }
        if constexpr (relocatable) {
            if (void* block =
                    std::realloc(m_data, array_detail::byte_size(new_capacity, sizeof(T)))) {
                m_data = static_cast<T*>(block);
                this->store_capacity(new_capacity);
            }
        } else {
            void* raw = std::malloc(array_detail::byte_size(new_capacity, sizeof(T)));
            if (!raw) {
                return; // keep the larger block; nothing is lost
            }
            T* block = static_cast<T*>(raw);
            for (std::uint32_t i = 0; i < m_count; ++i) {
                new (block + i) T(std::move(m_data[i]));
                m_data[i].~T();
            }
            std::free(m_data);
            m_data = block;
            this->store_capacity(new_capacity);
        }
    }

    void append_slow(const T& item) {
        if (m_count == 0xFFFFFFFFu) {
            array_detail::throw_bad_alloc();
        }
        if (holds(&item)) {
            T copy(item);
            set_size(m_count + 1);
            m_data[m_count - 1] = std::move(copy);
        } else {
            set_size(m_count + 1);
            m_data[m_count - 1] = item;
        }
    }
};

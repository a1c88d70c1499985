// An owned array of trivial objects that starts on a cache-line boundary, so
// that objects whose size divides the line never straddle two lines: memory
// from new[] is aligned to 8 or 16 bytes only, and an entry split across two
// lines costs two misses where one was asked for ahead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

inline constexpr std::size_t cache_line_bytes = 64;

template <typename T> class cache_line_block {
    static_assert(std::is_trivially_default_constructible<T>::value &&
                      std::is_trivially_destructible<T>::value,
                  "the block holds trivial objects only");

public:
    cache_line_block() noexcept = default;
    // Room for count objects, left uninitialised. Raises std::bad_alloc.
    explicit cache_line_block(std::size_t count) {
        if (count > (SIZE_MAX - cache_line_bytes) / sizeof(T)) {
            throw std::bad_alloc();
        }
        m_storage = static_cast<char*>(::operator new(count * sizeof(T) + cache_line_bytes - 1));
        const auto first = (reinterpret_cast<std::uintptr_t>(m_storage) + cache_line_bytes - 1) &
                           ~std::uintptr_t{cache_line_bytes - 1};
        m_items = reinterpret_cast<T*>(first);
    }
    cache_line_block(cache_line_block&& other) noexcept
        : m_storage(std::exchange(other.m_storage, nullptr)),
          m_items(std::exchange(other.m_items, nullptr)) {}
    cache_line_block& operator=(cache_line_block&& other) noexcept {
        cache_line_block(std::move(other)).swap(*this);
        return *this;
    }
    cache_line_block(const cache_line_block&) = delete;
    cache_line_block& operator=(const cache_line_block&) = delete;
    ~cache_line_block() { ::operator delete(m_storage); }

    T* get() const noexcept { return m_items; }
    T& operator[](std::size_t i) const noexcept { return m_items[i]; }
    explicit operator bool() const noexcept { return m_items != nullptr; }
    void swap(cache_line_block& other) noexcept {
        std::swap(m_storage, other.m_storage);
        std::swap(m_items, other.m_items);
    }

private:
    char* m_storage = nullptr; // as allocated
    T* m_items = nullptr;      // the first line boundary in it
};

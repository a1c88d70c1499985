// Large arrays of plain values in chunks of at most chunk_bytes, so that a
// table of millions of entries never needs one big contiguous block (a 32-bit
// process's address space is fragmented). The first chunk grows like a vector
// until it is full, so small tables stay small; later chunks are full-sized.
// Elements are addressed by index; their addresses change while the first
// chunk grows.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace refhost {

template <typename T, std::size_t chunk_bytes = std::size_t{4} << 20> class chunked_array {
    static_assert(std::is_trivially_copyable_v<T>, "chunked_array holds plain values");

public:
    static constexpr std::size_t per_chunk = chunk_bytes / sizeof(T);

    chunked_array() = default;
    chunked_array(chunked_array&& other) noexcept { swap(other); }
    chunked_array& operator=(chunked_array&& other) noexcept {
        chunked_array(std::move(other)).swap(*this);
        return *this;
    }
    void swap(chunked_array& other) noexcept {
        m_chunks.swap(other.m_chunks);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
    }

    std::size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }

    T& operator[](std::size_t i) { return m_chunks[i / per_chunk][i % per_chunk]; }
    const T& operator[](std::size_t i) const { return m_chunks[i / per_chunk][i % per_chunk]; }

    void push_back(const T& value) {
        if (m_size == m_capacity) {
            grow();
        }
        m_chunks[m_size / per_chunk][m_size % per_chunk] = value;
        ++m_size;
    }

    // n copies of value in place of the contents.
    void assign(std::size_t n, const T& value) {
        chunked_array fresh;
        for (std::size_t i = 0; i < n; ++i) {
            fresh.push_back(value);
        }
        *this = std::move(fresh);
    }

    // Bytes this array took from the heap (its chunks and the chunk table).
    std::size_t allocated_bytes() const noexcept {
        return m_capacity * sizeof(T) + m_chunks.capacity() * sizeof(m_chunks[0]);
    }

private:
    void grow() {
        if (m_capacity < per_chunk) {
            // The first chunk: double it (at least 256 entries), at most a chunk.
            std::size_t next = m_capacity == 0 ? 256 : m_capacity * 2;
            next = next > per_chunk ? per_chunk : next;
            auto chunk = std::unique_ptr<T[]>(new T[next]);
            if (m_size != 0) {
                std::memcpy(chunk.get(), m_chunks[0].get(), m_size * sizeof(T));
            }
            if (m_chunks.empty()) {
                m_chunks.push_back(std::move(chunk));
            } else {
                m_chunks[0] = std::move(chunk);
            }
            m_capacity = next;
            return;
        }
        m_chunks.push_back(std::unique_ptr<T[]>(new T[per_chunk]));
        m_capacity += per_chunk;
    }

    std::vector<std::unique_ptr<T[]>> m_chunks;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace refhost

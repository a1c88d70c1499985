// Where the host's metadata cache keeps its texts: every text gets its own
// NUL-terminated copy at a stable address (never moved or freed before the
// store goes away), spaced like heap allocations, in blocks of at most a few
// megabytes. An interner hands out one copy per distinct text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "refhost/chunked_array.h"

namespace refhost {

class text_store {
public:
    text_store() = default;
    text_store(const text_store&) = delete;
    text_store& operator=(const text_store&) = delete;

    // A new copy of text, always at a new address.
    const char* store(std::string_view text);
    // Bytes of the stored texts, each with its NUL.
    std::size_t bytes_used() const noexcept { return m_used; }
    // Bytes of the blocks the texts lie in (headers, padding and the unused
    // end of the current block included).
    std::size_t bytes_allocated() const noexcept;

private:
    static constexpr std::size_t first_block_size = 64 * 1024;
    static constexpr std::size_t max_block_size = 4 * 1024 * 1024;
    static constexpr std::size_t heap_header = 8;
    static constexpr std::size_t heap_granularity = 8;
    struct block {
        std::unique_ptr<char[]> bytes;
        std::size_t size;
    };
    std::vector<block> m_blocks;
    std::size_t m_next_block_size = first_block_size;
    char* m_next = nullptr;
    std::size_t m_left = 0;
    std::size_t m_used = 0;
};

class text_interner {
public:
    explicit text_interner(text_store& store) : m_store(store) {}
    text_interner(const text_interner&) = delete;
    text_interner& operator=(const text_interner&) = delete;

    // The one copy of text: the same address for equal bytes.
    const char* intern(std::string_view text);
    std::size_t distinct() const noexcept { return m_count; }
    std::size_t bytes_allocated() const noexcept { return m_slots.allocated_bytes(); }

private:
    struct slot {
        const char* text; // null: free
        std::uint32_t length;
        std::uint32_t hash;
    };
    void rehash(std::size_t slot_count);

    text_store& m_store;
    chunked_array<slot> m_slots; // open addressing, at most half full
    std::size_t m_count = 0;
};

} // namespace refhost

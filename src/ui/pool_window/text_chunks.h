// text_chunks: NUL-terminated copies of many texts, kept in blocks of at most
// block_bytes each (a longer text gets a block of its own), so that hundreds
// of megabytes of value texts never need one contiguous range of a 32-bit
// address space. Portable: no window system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class text_chunks {
public:
    static constexpr std::size_t block_bytes = std::size_t{16} << 20;

    // Frees every copy and announces that texts of total bytes (terminators
    // included) follow, so that a pool smaller than a block gets exactly one
    // block of its size.
    void reset(std::uint64_t total) noexcept;

    // Copies length bytes of text and a terminating NUL; the copy stays where
    // it is until the next reset. Raises std::bad_alloc (nothing added).
    const char* add(const char* text, std::uint32_t length);

    std::size_t block_count() const noexcept { return m_blocks.size(); }
    // Largest block allocated since the last reset, in bytes.
    std::size_t largest_block() const noexcept { return m_largest; }

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_free = 0;        // bytes left in the last block
    char* m_next = nullptr;        // first free byte of the last block
    std::uint64_t m_announced = 0; // bytes announced and not yet added
    std::size_t m_largest = 0;
};

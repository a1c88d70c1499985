#include "ui/pool_window/text_chunks.h"

#include <algorithm>
#include <cstring>
#include <new>

void text_chunks::reset(std::uint64_t total) noexcept {
    m_blocks.clear();
    m_free = 0;
    m_next = nullptr;
    m_announced = total;
    m_largest = 0;
}

const char* text_chunks::add(const char* text, std::uint32_t length) {
    const std::size_t needed = std::size_t{length} + 1;
    if (needed == 0) {
        throw std::bad_alloc(); // a length of 2^32 - 1 in a 32-bit build
    }
    if (needed > m_free) {
        const std::uint64_t wanted = std::min<std::uint64_t>(m_announced, block_bytes);
        const std::size_t size = std::max(needed, static_cast<std::size_t>(wanted));
        m_blocks.reserve(m_blocks.size() + 1);
        m_blocks.emplace_back(new char[size]);
        m_next = m_blocks.back().get();
        m_free = size;
        m_largest = std::max(m_largest, size);
    }
    char* copy = m_next;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    m_next += needed;
    m_free -= needed;
    m_announced -= std::min<std::uint64_t>(m_announced, needed);
    return copy;
}

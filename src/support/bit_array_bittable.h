// A selection mask of n bits kept on the heap, all clear at first.
#pragma once

#include <cstdint>

#include "support/array.h"
#include "support/bit_array.h"

class bit_array_bittable final : public bit_array {
public:
    // Raises std::bad_alloc when the bits cannot be allocated.
    explicit bit_array_bittable(std::uint32_t n) : m_count(n) {
        m_words.set_size(static_cast<std::uint32_t>((std::uint64_t{n} + 31) / 32));
    }

    std::uint32_t size() const noexcept { return m_count; }

    void set(std::uint32_t index, bool value) noexcept {
        const std::uint32_t bit = 1u << (index % 32);
        std::uint32_t& word = m_words[index / 32];
        word = value ? (word | bit) : (word & ~bit);
    }

    // Bits at index n and beyond read as clear.
    bool bit_at(std::uint32_t index) const override {
        return index < m_count && ((m_words[index / 32] >> (index % 32)) & 1u) != 0;
    }

    // Skips whole words that hold no matching bit.
    std::uint32_t first_with(bool value, std::uint32_t start, std::uint32_t count) const override;

private:
    array_t<std::uint32_t, alloc_standard> m_words;
    std::uint32_t m_count;
};

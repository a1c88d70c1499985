#include "support/bit_array_bittable.h"

std::uint32_t bit_array_bittable::first_with(bool value, std::uint32_t start,
                                             std::uint32_t count) const {
    const std::uint64_t end = std::uint64_t{start} + count;
    const std::uint64_t stored_end = end < m_count ? end : m_count;
    std::uint64_t i = start;
    // Within the stored bits: word by word.
    while (i < stored_end) {
        const auto index = static_cast<std::uint32_t>(i);
        const std::uint32_t offset = index % 32;
        std::uint32_t word = m_words[index / 32];
        if (!value) {
            word = ~word;
        }
        word >>= offset;
        if (word != 0) {
            std::uint32_t lowest = 0;
            while ((word & 1u) == 0) {
                word >>= 1;
                ++lowest;
            }
            if (i + lowest < stored_end) {
                return static_cast<std::uint32_t>(i + lowest);
            }
            break;
        }
        i += 32 - offset;
    }
    // Bits beyond the stored ones read as clear.
    if (!value && end > stored_end) {
        return static_cast<std::uint32_t>(start > stored_end ? start : stored_end);
    }
    return static_cast<std::uint32_t>(end);
}

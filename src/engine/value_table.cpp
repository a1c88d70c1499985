#include "engine/value_table.h"

#include <new>

namespace {

// A segment never needs a block larger than this many slots.
constexpr std::uint32_t segment_limit = 1u << 21;

std::uint64_t read_word(const char* p, std::uint32_t bytes) noexcept {
    std::uint64_t word = 0;
    std::memcpy(&word, p, bytes);
    return word;
}

std::uint64_t mix(std::uint64_t x) noexcept {
    x ^= x >> 32;
    x *= 0xD6E8FEB86659FD93ull;
    x ^= x >> 32;
    x *= 0xD6E8FEB86659FD93ull;
    x ^= x >> 32;
    return x;
}

} // namespace

std::uint32_t text_hash(const char* text, std::uint32_t length) noexcept {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ length;
    std::uint32_t i = 0;
    for (; i + 8 <= length; i += 8) {
        h = (h ^ read_word(text + i, 8)) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 29;
    }
    if (i < length) {
        h = (h ^ read_word(text + i, length - i)) * 0xC4CEB9FE1A85EC53ull;
    }
    return static_cast<std::uint32_t>(mix(h) >> 32);
}

value_table::value_table(std::uint32_t segment_bits)
    : m_segments(std::size_t{1} << (segment_bits > 16 ? 16 : segment_bits)),
      m_shift(32 - (segment_bits > 16 ? 16 : segment_bits)) {}

namespace {

// The capacity from which a segment holds values without growing.
std::uint32_t capacity_for(std::uint32_t capacity, std::uint32_t values) noexcept {
    while (capacity / 4 * 3 < values && capacity < segment_limit) {
        capacity *= 2;
    }
    return capacity;
}

} // namespace

void value_table::reserve(std::uint32_t values) {
    if (m_segments.size() != 1) {
        return;
    }
    segment& s = m_segments[0];
    const std::uint32_t capacity = capacity_for(s.slots ? s.mask + 1 : 16, values);
    if (!s.slots || capacity > s.mask + 1) {
        grow(s, capacity);
    }
}

void value_table::empty_for(std::uint32_t values) {
    if (m_segments.size() != 1) {
        return;
    }
    segment& s = m_segments[0];
    const std::uint32_t capacity = capacity_for(16, values);
    m_size = 0;
    s.used = 0;
    // Storage far larger than needed would cost more to empty than to have
    // anew.
    if (s.slots && capacity <= s.mask + 1 && capacity * 4 > s.mask) {
        for (std::uint32_t i = 0; i <= s.mask; ++i) {
            s.slots[i].text = nullptr;
        }
        return;
    }
    s = segment();
    grow(s, capacity);
}

void value_table::grow(segment& s, std::uint32_t capacity) {
    if (capacity > segment_limit) {
        throw std::bad_alloc();
    }
    std::unique_ptr<value_entry[]> slots(new value_entry[capacity]);
    for (std::uint32_t i = 0; i < capacity; ++i) {
        slots[i].text = nullptr;
    }
    const std::uint32_t mask = capacity - 1;
    if (s.slots) {
        for (std::uint32_t i = 0; i <= s.mask; ++i) {
            const value_entry& e = s.slots[i];
            if (e.text == nullptr) {
                continue;
            }
            std::uint32_t j = e.hash & mask;
            while (slots[j].text != nullptr) {
                j = (j + 1) & mask;
            }
            slots[j] = e;
        }
    }
    s.slots = std::move(slots);
    s.mask = mask;
    s.grow_at = capacity / 4 * 3;
}

void value_table::clear() noexcept {
    for (segment& s : m_segments) {
        s = segment();
    }
    m_size = 0;
}

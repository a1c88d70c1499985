#include "engine/value_table.h"

#include <new>

namespace {

// The largest block a segment may ask for (a 32-bit process has no larger
// holes in its address space to rely on).
constexpr std::size_t segment_block_limit = std::size_t{1} << 26;

// The most slots a segment of Entry may have: the largest power of two whose
// block, with the room for aligning it to a cache line, stays within the
// limit.
template <typename Entry> constexpr std::uint32_t segment_limit() noexcept {
    std::uint32_t slots = 1u << 30;
    while (std::uint64_t{slots} * sizeof(Entry) + cache_line_bytes - 1 > segment_block_limit) {
        slots /= 2;
    }
    return slots;
}
static_assert(segment_limit<value_entry>() == 1u << 20, "a 32-byte entry fills 32 MB at most");

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "a key's words hold the text's bytes in memory order");

std::uint64_t read_word(const char* p) noexcept {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

std::uint64_t read_half(const char* p) noexcept {
    std::uint32_t half;
    std::memcpy(&half, p, sizeof half);
    return half;
}

// The first min(length, 8) bytes of text, zero-padded, from loads that stay
// inside it (two overlapping halves, or single bytes).
std::uint64_t read_short(const char* text, std::uint32_t length) noexcept {
    if (length >= 8) {
        return read_word(text);
    }
    if (length >= 4) {
        const std::uint64_t last = read_half(text + length - 4) >> (8 * (8 - length));
        return read_half(text) | last << 32;
    }
    if (length == 0) {
        return 0;
    }
    const auto byte = [text](std::uint32_t i) {
        return std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    };
    return byte(0) | byte(length / 2) | byte(length - 1);
}

std::uint64_t step(std::uint64_t h, std::uint64_t word) noexcept {
    h = (h ^ word) * 0xFF51AFD7ED558CCDull;
    return h ^ h >> 29;
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

value_key text_key(const char* text, std::uint32_t length) noexcept {
    value_key key;
    key.head[0] = read_short(text, length);
    // Bytes 8 .. min(length, 16): the word ending at the text's end, less
    // the bytes the first word already holds.
    key.head[1] = length >= 16 ? read_word(text + 8)
                  : length > 8 ? read_word(text + length - 8) >> (8 * (16 - length))
                               : 0;
    // The hash reads sixteen bytes here; the key keeps what an entry holds.
    const std::uint64_t rest = key.head[1];
    if constexpr (value_head_bytes < 16) {
        key.head[1] &= (std::uint64_t{1} << (8 * (value_head_bytes - 8))) - 1;
    }
    std::uint64_t h = step(0x9E3779B97F4A7C15ull ^ length, key.head[0]);
    if (length > 8) {
        h = step(h, rest);
    }
    if (length > 16) {
        // The rest by whole words, the last one ending at the text's end.
        std::uint32_t i = 16;
        for (; i + 8 < length; i += 8) {
            h = step(h, read_word(text + i));
        }
        h = step(h, read_word(text + length - 8));
    }
    key.hash = static_cast<std::uint32_t>(mix(h) >> 32);
    return key;
}

template <typename Entry>
basic_value_table<Entry>::basic_value_table(std::uint32_t segment_bits)
    : m_segments(std::size_t{1} << (segment_bits > 16 ? 16 : segment_bits)),
      m_shift(32 - (segment_bits > 16 ? 16 : segment_bits)) {}

namespace {

// The capacity from which a segment holds values without growing.
std::uint32_t capacity_for(std::uint32_t capacity, std::uint32_t values,
                           std::uint32_t limit) noexcept {
    while (capacity / 4 * 3 < values && capacity < limit) {
        capacity *= 2;
    }
    return capacity;
}

} // namespace

template <typename Entry>
void basic_value_table<Entry>::add_each(const pending_value* values, std::uint32_t count) {
    // Far enough ahead for the slot to arrive while the values before it
    // are entered, and near enough not to ask for more lines at once than
    // the processor can wait for (at 8, 16, 32 and 64 ahead, 16 did best).
    constexpr std::uint32_t slot_ahead = 16;
    // Comparisons owed are made a batch at a time; the batch is small
    // enough to stay in the cache with the texts it asks for.
    constexpr std::uint32_t batch = 256;
    unsettled checks[batch];
    std::uint32_t owed = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i + slot_ahead < count) {
            prefetch(values[i + slot_ahead].key.hash);
        }
        const pending_value& v = values[i];
        segment& s = segment_with_room(v.key.hash);
        bool unsure = false;
        Entry& e = find<true>(s, v.text, v.length, v.key, unsure);
        if (e.text == nullptr) {
            enter(s, e, v.text, v.length, v.key, v.logical, 1);
            continue;
        }
        add_counts(e, v.logical, 1);
        if (unsure) {
            checks[owed++] = unsettled{e.text, &v};
            if (owed == batch) {
                settle(checks, owed);
                owed = 0;
            }
        }
    }
    settle(checks, owed);
}

template <typename Entry>
void basic_value_table<Entry>::settle(const unsettled* checks, std::uint32_t count) {
    constexpr std::uint32_t text_ahead = 8;
    for (std::uint32_t i = 0; i < count && i < text_ahead; ++i) {
        __builtin_prefetch(checks[i].kept + value_head_bytes);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i + text_ahead < count) {
            __builtin_prefetch(checks[i + text_ahead].kept + value_head_bytes);
        }
        const unsettled& c = checks[i];
        const pending_value& v = *c.value;
        if (same_tail(c.kept, v.text, v.length)) {
            continue;
        }
        // Alike in hash, length and head but not the same value: the entry
        // holding kept gives the counts back (it is still in the value's
        // probe sequence, wherever a growth has moved it).
        segment& s = m_segments[segment_of(v.key.hash)];
        for (std::uint32_t j = home_slot(v.key.hash, s.mask);; j = (j + 1) & s.mask) {
            Entry& e = s.slots[j];
            if (e.text == c.kept) {
                add_counts(e, 0u - v.logical, 0u - 1u);
                break;
            }
        }
        add(v.text, v.length, v.key, v.logical);
    }
}

template <typename Entry> void basic_value_table<Entry>::reserve(std::uint32_t values) {
    if (m_segments.size() != 1) {
        return;
    }
    segment& s = m_segments[0];
    const std::uint32_t capacity =
        capacity_for(s.slots ? s.mask + 1 : 16, values, segment_limit<Entry>());
    if (!s.slots || capacity > s.mask + 1) {
        grow(s, capacity);
    }
}

template <typename Entry> void basic_value_table<Entry>::empty_for(std::uint32_t values) {
    if (m_segments.size() != 1) {
        return;
    }
    segment& s = m_segments[0];
    const std::uint32_t capacity = capacity_for(16, values, segment_limit<Entry>());
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

template <typename Entry> void basic_value_table<Entry>::grow(segment& s, std::uint32_t capacity) {
    if (capacity > segment_limit<Entry>()) {
        throw std::bad_alloc();
    }
    cache_line_block<Entry> slots(capacity);
    for (std::uint32_t i = 0; i < capacity; ++i) {
        slots[i].text = nullptr;
    }
    const std::uint32_t mask = capacity - 1;
    if (s.slots) {
        for (std::uint32_t i = 0; i <= s.mask; ++i) {
            const Entry& e = s.slots[i];
            if (e.text == nullptr) {
                continue;
            }
            std::uint32_t j = home_slot(e.hash, mask);
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

template <typename Entry> void basic_value_table<Entry>::clear() noexcept {
    for (segment& s : m_segments) {
        s = segment();
    }
    m_size = 0;
}

template class basic_value_table<value_entry>;
template class basic_value_table<counted_value_entry>;

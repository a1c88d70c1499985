// The distinct values of a pool, found by hashing the texts in place: one
// entry per value with one of its string objects, its length, its logical
// count (plain 32-bit sum) and, in a counted table, its physical count. The
// table is split into segments by the high bits of the hash; each grows on
// its own, so none needs a large block, and the segments of two tables built
// with the same segment bits hold the same values' hashes (the values of
// "All" are merged a segment at a time on that ground).
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "engine/cache_line_block.h"

// Bytes of an entry of a value table: two fit in a cache line.
inline constexpr std::uint32_t value_entry_bytes = 32;
// Bytes of a value kept in its entry (what the entry has left after the
// text pointer, the hash, the length and the logical count: 16 in a 32-bit
// build, 12 in a 64-bit one). Values this short are compared there, without
// reading the host's text again (most repeated values are short).
inline constexpr std::uint32_t value_head_bytes =
    value_entry_bytes - static_cast<std::uint32_t>(sizeof(const char*) + 3 * sizeof(std::uint32_t));
static_assert(value_head_bytes >= 8 && value_head_bytes <= 16, "a head is one or two words");

// What a value table compares before it reads a text: the first
// value_head_bytes bytes of the text, zero-padded, as two words in memory
// order (the engine runs on little-endian machines only), and the hash of
// the whole text. Equal texts have equal keys.
struct value_key {
    std::uint64_t head[2];
    std::uint32_t hash;
};

// The key of a text of length bytes. Reads no byte past the text's end:
// short texts are read as overlapping words inside them.
value_key text_key(const char* text, std::uint32_t length) noexcept;

// A string object waiting to be entered in a value table, with what was
// measured of it while its text was read.
struct pending_value {
    const char* text;
    std::uint32_t length;
    std::uint32_t logical;
    value_key key;
};

// One value: one of its string objects, its length and its logical count.
struct value_entry {
    const char* text; // null: an empty slot
    std::uint32_t hash;
    std::uint32_t length;
    std::uint32_t logical;
    char head[value_head_bytes]; // the first bytes of the value, zero-padded

    value_key key() const noexcept {
        value_key k{{0, 0}, hash};
        std::memcpy(k.head, head, value_head_bytes);
        return k;
    }
};
static_assert(sizeof(value_entry) == value_entry_bytes, "entries are packed");

// A value with the number of its string objects too.
struct counted_value_entry : value_entry {
    std::uint32_t physical;
};

// Entry is value_entry, or counted_value_entry to keep the physical counts.
template <typename Entry> class basic_value_table {
public:
    static constexpr bool counts_physical = std::is_same<Entry, counted_value_entry>::value;

    // 2^segment_bits segments (at most 16).
    explicit basic_value_table(std::uint32_t segment_bits);
    basic_value_table(basic_value_table&&) noexcept = default;
    basic_value_table& operator=(basic_value_table&&) noexcept = default;

    // Adds logical (and physical, when the table counts it) to the entry of
    // the value (text, length), whose key is key, or enters the value with
    // them. Raises std::bad_alloc (table unchanged).
    void add(const char* text, std::uint32_t length, const value_key& key, std::uint32_t logical,
             std::uint32_t physical = 1) {
        segment& s = segment_with_room(key.hash);
        bool unsure = false;
        Entry& e = find<false>(s, text, length, key, unsure);
        if (e.text == nullptr) {
            enter(s, e, text, length, key, logical, physical);
        } else {
            add_counts(e, logical, physical);
        }
    }

    // add() for each of values[0 .. count), in order, as one string object
    // each; the slots are asked for a few values ahead, and a value that
    // matches an entry up to the bytes past its head is counted there at
    // once and compared with it later, with others, its text asked for
    // ahead (the entry's text lies anywhere in the host's memory). Raises
    // std::bad_alloc; the table then holds some of the values, some
    // counted on trust, and is fit only to be cleared or destroyed.
    void add_each(const pending_value* values, std::uint32_t count);

    // Room for values more values without growing (a table of one segment).
    void reserve(std::uint32_t values);
    // Empties a table of one segment and makes room for values values,
    // keeping its storage when that is large enough and not far larger (a
    // table filled again and again does not ask for fresh memory each time).
    void empty_for(std::uint32_t values);

    std::uint32_t size() const noexcept { return m_size; }
    std::uint32_t segment_count() const noexcept {
        return static_cast<std::uint32_t>(m_segments.size());
    }
    std::uint32_t segment_bits() const noexcept { return 32 - m_shift; }
    // Values held in segment s.
    std::uint32_t segment_size(std::uint32_t s) const noexcept { return m_segments[s].used; }

    // Calls f(const Entry&) for every value of segment s.
    template <typename F> void for_each_in_segment(std::uint32_t s, F&& f) const {
        const segment& seg = m_segments[s];
        if (!seg.slots) {
            return;
        }
        for (std::uint32_t i = 0; i <= seg.mask; ++i) {
            if (seg.slots[i].text != nullptr) {
                f(seg.slots[i]);
            }
        }
    }
    template <typename F> void for_each(F&& f) const {
        for (std::uint32_t s = 0; s < segment_count(); ++s) {
            for_each_in_segment(s, f);
        }
    }
    // Empties the table and gives back the storage of its segments.
    void clear() noexcept;

private:
    struct segment {
        cache_line_block<Entry> slots;
        std::uint32_t mask = 0;
        std::uint32_t used = 0;
        std::uint32_t grow_at = 0;
    };
    // Slots of Entry that share a cache line, when lines hold whole entries.
    static constexpr std::uint32_t line_slots =
        cache_line_bytes % sizeof(Entry) == 0 ? cache_line_bytes / sizeof(Entry) : 1;
    // The slot a hash's probe sequence starts at: the first slot of its
    // line, so that the probes a line holds cost one wait for memory, not
    // two when the start is the line's last slot. Every search, growth and
    // undo of the table starts there.
    static std::uint32_t home_slot(std::uint32_t hash, std::uint32_t mask) noexcept {
        return hash & mask & ~(line_slots - 1);
    }
    // Asks the memory system for the slot a hash starts at. Always inlined:
    // a function whose only effect is a prefetch looks free of effects to
    // the optimiser, which then drops its calls, prefetch and all.
    [[gnu::always_inline]] void prefetch(std::uint32_t hash) const noexcept {
        const segment& s = m_segments[segment_of(hash)];
        if (s.slots) {
            __builtin_prefetch(s.slots.get() + home_slot(hash, s.mask));
        }
    }

    // A value counted in the entry that holds kept, whose bytes past the
    // head are still to be compared with the entry's.
    struct unsettled {
        const char* kept;
        const pending_value* value;
    };
    // Compares the values with their entries; a value found to differ is
    // taken out of its entry again and added as what it is.
    void settle(const unsettled* checks, std::uint32_t count);

    segment& segment_with_room(std::uint32_t hash) {
        segment& s = m_segments[segment_of(hash)];
        if (s.used >= s.grow_at) {
            grow(s);
        }
        return s;
    }

    // The entry of the value in s, or the empty slot it belongs in. With
    // Defer, an entry alike in hash, length and head is taken for the value
    // without comparing the rest of its bytes, and unsure tells when that
    // comparison is owed.
    template <bool Defer>
    Entry& find(segment& s, const char* text, std::uint32_t length, const value_key& key,
                bool& unsure) const noexcept {
        // Hash and length are compared as one word: most slots probed hold
        // another value, and one comparison tells.
        const std::uint64_t wanted = hash_and_length(key.hash, length);
        Entry* const slots = s.slots.get();
        const std::uint32_t mask = s.mask;
        for (std::uint32_t i = home_slot(key.hash, mask);; i = (i + 1) & mask) {
            Entry& e = slots[i];
            if (e.text == nullptr) {
                return e;
            }
            if (hash_and_length(e.hash, e.length) != wanted || !same_head(e, key)) {
                continue;
            }
            if (length <= value_head_bytes || e.text == text) {
                return e;
            }
            if constexpr (Defer) {
                unsure = true;
                return e;
            }
            if (same_tail(e.text, text, length)) {
                return e;
            }
        }
    }

    void enter(segment& s, Entry& e, const char* text, std::uint32_t length, const value_key& key,
               std::uint32_t logical, std::uint32_t physical) noexcept {
        e.text = text;
        e.hash = key.hash;
        e.length = length;
        e.logical = logical;
        if constexpr (counts_physical) {
            e.physical = physical;
        }
        std::memcpy(e.head, key.head, value_head_bytes);
        ++s.used;
        ++m_size;
    }

    static void add_counts(Entry& e, std::uint32_t logical, std::uint32_t physical) noexcept {
        e.logical += logical;
        if constexpr (counts_physical) {
            e.physical += physical;
        }
    }

    static bool same_tail(const char* a, const char* b, std::uint32_t length) noexcept {
        return std::memcmp(a + value_head_bytes, b + value_head_bytes, length - value_head_bytes) ==
               0;
    }

    static std::uint64_t hash_and_length(std::uint32_t hash, std::uint32_t length) noexcept {
        return hash | std::uint64_t{length} << 32;
    }
    static bool same_head(const value_entry& e, const value_key& key) noexcept {
        std::uint64_t first;
        std::memcpy(&first, e.head, sizeof first);
        std::uint64_t second = 0;
        std::memcpy(&second, e.head + sizeof first, value_head_bytes - sizeof first);
        return first == key.head[0] && second == key.head[1];
    }

    void grow(segment& s, std::uint32_t capacity);
    void grow(segment& s) { grow(s, s.slots ? (s.mask + 1) * 2 : 16); }
    std::uint32_t segment_of(std::uint32_t hash) const noexcept {
        return static_cast<std::uint32_t>(std::uint64_t{hash} >> m_shift);
    }

    std::vector<segment> m_segments;
    std::uint32_t m_shift;
    std::uint32_t m_size = 0;
};

using value_table = basic_value_table<value_entry>;
using counted_value_table = basic_value_table<counted_value_entry>;

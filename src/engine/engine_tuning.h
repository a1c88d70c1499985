// Sizes of the engine's working storage. They bound the largest single block
// the engine asks for (a 32-bit process has no large holes in its address
// space) and change no figure; tests make them small so that every boundary
// (a full chunk, a window, a grown table segment) is crossed with few strings.
#pragma once

#include <cstdint>

struct engine_tuning {
    // References a collector keeps unsorted in each of its two chunks (bare
    // addresses, and addresses with a count) before it sorts them into a run.
    std::uint32_t chunk_entries = 1u << 18;
    // Entries of one storage block of a sorted run; a run gives its blocks
    // back one by one as it is read.
    std::uint32_t run_block_entries = 1u << 14;
    // References the walk in address order sorts at a time.
    std::uint32_t window_entries = 1u << 15;
    // log2 of the number of segments of a value table (each segment grows on
    // its own, so no segment needs a large block).
    std::uint32_t table_segment_bits = 8;
    // Distinct values sorted at a time when a pool's values are put in order
    // (a piece and its sort's scratch are a block each).
    std::uint32_t sort_piece_entries = 1u << 21;
};

// The sizes in force (defaults unless a test changed them).
engine_tuning& current_engine_tuning() noexcept;

// Sets other sizes for as long as it lives (tests only).
class scoped_engine_tuning {
public:
    explicit scoped_engine_tuning(const engine_tuning& sizes) noexcept
        : m_saved(current_engine_tuning()) {
        current_engine_tuning() = sizes;
    }
    ~scoped_engine_tuning() { current_engine_tuning() = m_saved; }
    scoped_engine_tuning(const scoped_engine_tuning&) = delete;
    scoped_engine_tuning& operator=(const scoped_engine_tuning&) = delete;

private:
    engine_tuning m_saved;
};

#include "engine/address_runs.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_tuning.h"

engine_tuning& current_engine_tuning() noexcept {
    static engine_tuning sizes;
    return sizes;
}

namespace {

std::uint32_t chunk_limit() noexcept {
    return std::max<std::uint32_t>(current_engine_tuning().chunk_entries, 2);
}

// Grows a chunk to room for at least needed entries (at most the chunk
// limit unless needed is more): it doubles, so pools of a few strings stay
// small. Raises std::bad_alloc (chunk unchanged).
template <typename T>
void grow_chunk(std::unique_ptr<T[]>& chunk, std::uint32_t count, std::uint32_t& capacity,
                std::uint32_t needed) {
    const std::uint32_t doubled = std::max<std::uint32_t>(64, capacity * 2);
    const std::uint32_t wanted = std::max(needed, std::min(chunk_limit(), doubled));
    std::unique_ptr<T[]> bigger(new T[wanted]);
    std::copy(chunk.get(), chunk.get() + count, bigger.get());
    chunk = std::move(bigger);
    capacity = wanted;
}

} // namespace

template <typename T>
void address_runs::add_run(const T* items, std::uint32_t n,
                           std::vector<std::unique_ptr<T[]>> address_run::*blocks) {
    if (n == 0) {
        return;
    }
    m_runs.reserve(m_runs.size() + 1);
    address_run run;
    run.m_block_entries = std::max<std::uint32_t>(current_engine_tuning().run_block_entries, 1);
    std::vector<std::unique_ptr<T[]>>& stored = run.*blocks;
    stored.reserve((n + run.m_block_entries - 1) / run.m_block_entries);
    for (std::uint32_t first = 0; first < n; first += run.m_block_entries) {
        const std::uint32_t count = std::min(run.m_block_entries, n - first);
        std::unique_ptr<T[]> block(new T[count]);
        std::memcpy(static_cast<void*>(block.get()), items + first, count * sizeof(T));
        stored.push_back(std::move(block));
    }
    run.m_size = n;
    m_runs.push_back(std::move(run));
}

void address_run::release_below(std::uint32_t i) noexcept {
    const std::uint32_t whole = i / m_block_entries;
    for (std::uint32_t b = 0; b < whole && b < m_plain.size(); ++b) {
        m_plain[b].reset();
    }
    for (std::uint32_t b = 0; b < whole && b < m_counted.size(); ++b) {
        m_counted[b].reset();
    }
}

void address_runs::make_plain_room() {
    if (m_plain_capacity >= chunk_limit()) {
        seal_plain();
        if (m_plain_count < m_plain_capacity) {
            return;
        }
    }
    grow_chunk(m_plain, m_plain_count, m_plain_capacity, m_plain_count + 1);
}

void address_runs::make_counted_room() {
    if (m_counted_capacity >= chunk_limit()) {
        seal_counted();
        if (m_counted_count < m_counted_capacity) {
            return;
        }
    }
    grow_chunk(m_counted, m_counted_count, m_counted_capacity, m_counted_count + 1);
}

void address_runs::reserve_counted(std::uint32_t count) {
    if (m_counted_capacity - m_counted_count >= count) {
        return;
    }
    if (m_counted_count + std::uint64_t{count} > chunk_limit()) {
        seal_counted();
        if (m_counted_capacity - m_counted_count >= count) {
            return;
        }
    }
    grow_chunk(m_counted, m_counted_count, m_counted_capacity, m_counted_count + count);
}

void address_runs::seal_plain() {
    if (m_plain_count == 0) {
        return;
    }
    std::uintptr_t* items = m_plain.get();
    const std::uint32_t n = m_plain_count;
    sort_addresses(items, n, *m_buffer);
    // An address met more than once moves to the counted chunk with the
    // number of times it was met; until then the chunk is only sorted, and
    // afterwards every reference is in exactly one of the two chunks.
    std::uint32_t repeated = 0;
    for (std::uint32_t i = 1; i < n; ++i) {
        repeated += items[i] == items[i - 1] && (i == 1 || items[i - 1] != items[i - 2]) ? 1 : 0;
    }
    if (repeated != 0) {
        reserve_counted(repeated);
        std::uint32_t kept = 0;
        for (std::uint32_t i = 0; i < n;) {
            std::uint32_t j = i + 1;
            while (j < n && items[j] == items[i]) {
                ++j;
            }
            if (j - i == 1) {
                items[kept++] = items[i];
            } else {
                m_counted[m_counted_count++] = address_value{items[i], j - i};
            }
            i = j;
        }
        m_plain_count = kept;
    }
    add_run(items, m_plain_count, &address_run::m_plain);
    m_plain_count = 0;
}

void address_runs::seal_counted() {
    if (m_counted_count == 0) {
        return;
    }
    // Sorted and collapsed, the chunk still holds the same counts.
    m_counted_count = sort_and_collapse(m_counted.get(), m_counted_count, *m_buffer);
    add_run(m_counted.get(), m_counted_count, &address_run::m_counted);
    m_counted_count = 0;
}

void address_runs::seal() {
    seal_plain();
    seal_counted();
}

void address_runs::finish() {
    seal();
    m_plain.reset();
    m_plain_capacity = 0;
    m_counted.reset();
    m_counted_capacity = 0;
}

#include "engine/address_runs.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_tuning.h"

engine_tuning& current_engine_tuning() noexcept {
    static engine_tuning sizes;
    return sizes;
}

void address_run::release_below(std::uint32_t i) noexcept {
    const std::uint32_t whole = i / m_block_entries;
    for (std::uint32_t b = 0; b < whole && b < m_blocks.size(); ++b) {
        m_blocks[b].reset();
    }
}

void address_runs::make_room() {
    const std::uint32_t limit = std::max<std::uint32_t>(current_engine_tuning().chunk_entries, 2);
    if (m_open_capacity >= limit) {
        seal();
        if (m_open_capacity != 0) {
            return;
        }
    }
    // The chunk doubles up to its limit, so pools of a few strings stay small.
    const std::uint32_t capacity =
        std::min(limit, std::max<std::uint32_t>(64, m_open_capacity * 2));
    std::unique_ptr<address_value[]> bigger(new address_value[capacity]);
    std::copy(m_open.get(), m_open.get() + m_open_count, bigger.get());
    m_open = std::move(bigger);
    m_open_capacity = capacity;
}

void address_runs::seal() {
    if (m_open_count == 0) {
        return;
    }
    m_runs.reserve(m_runs.size() + 1);
    address_value* items = m_open.get();
    const std::uint32_t n = m_open_count;
    const std::uint32_t distinct = sort_and_collapse(items, n, *m_buffer);
    // The collapsed references move into blocks; until the run is complete
    // nothing is given up, so a failure leaves the chunk as it was (sorted
    // and collapsed, which changes no count).
    m_open_count = distinct;
    address_run run;
    run.m_block_entries = std::max<std::uint32_t>(current_engine_tuning().run_block_entries, 1);
    const std::uint32_t blocks = (distinct + run.m_block_entries - 1) / run.m_block_entries;
    run.m_blocks.reserve(blocks);
    for (std::uint32_t b = 0; b < blocks; ++b) {
        const std::uint32_t first = b * run.m_block_entries;
        const std::uint32_t count = std::min(run.m_block_entries, distinct - first);
        std::unique_ptr<address_value[]> block(new address_value[count]);
        std::memcpy(static_cast<void*>(block.get()), items + first, count * sizeof(address_value));
        run.m_blocks.push_back(std::move(block));
    }
    run.m_size = distinct;
    m_runs.push_back(std::move(run));
    m_open_count = 0;
}

void address_runs::finish() {
    seal();
    m_open.reset();
    m_open_capacity = 0;
}

// The references of one pool as sorted runs: references are kept unsorted in
// chunks of bounded size; a full chunk is sorted by address, its repeats are
// collapsed (counts saturating at 4294967295) and it becomes a run stored in
// small blocks. Most string objects are met once per pool before they leave
// the collector's slots, so references counted once are kept as bare
// addresses, apart from those with a count: half the memory, and half the
// bytes each sort moves. Reading the runs in address order (address_walk)
// gives each block back as soon as it has been read, so a pool's references
// never need one large block nor two copies at once.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/address_sort.h"

// One sorted run: strictly ascending addresses, each with its count (>= 1).
// A run holds either bare addresses (each counted once) or addresses with
// their counts.
class address_run {
public:
    address_run() = default;
    address_run(address_run&&) noexcept = default;
    address_run& operator=(address_run&&) noexcept = default;

    std::uint32_t size() const noexcept { return m_size; }
    std::uint32_t block_entries() const noexcept { return m_block_entries; }
    // Entry i; its block must not have been released.
    address_value at(std::uint32_t i) const noexcept {
        const std::uint32_t b = i / m_block_entries;
        const std::uint32_t k = i % m_block_entries;
        return m_counted.empty() ? address_value{m_plain[b][k], 1} : m_counted[b][k];
    }
    std::uintptr_t address_at(std::uint32_t i) const noexcept {
        const std::uint32_t b = i / m_block_entries;
        const std::uint32_t k = i % m_block_entries;
        return m_counted.empty() ? m_plain[b][k] : m_counted[b][k].address;
    }
    // Entries i .. the end of i's block, whose storage must not have been
    // released: bare addresses, each counted once (plain), or addresses with
    // their counts (counted), as the run holds them; the other is null.
    struct block_view {
        const std::uintptr_t* plain;
        const address_value* counted;
        std::uint32_t count;
    };
    block_view block_from(std::uint32_t i) const noexcept {
        const std::uint32_t b = i / m_block_entries;
        const std::uint32_t k = i % m_block_entries;
        const std::uint32_t count = std::min(m_block_entries - k, m_size - i);
        if (m_counted.empty()) {
            return block_view{m_plain[b].get() + k, nullptr, count};
        }
        return block_view{nullptr, m_counted[b].get() + k, count};
    }
    // Gives back every block that holds only entries below i.
    void release_below(std::uint32_t i) noexcept;

private:
    friend class address_runs;
    std::vector<std::unique_ptr<std::uintptr_t[]>> m_plain;
    std::vector<std::unique_ptr<address_value[]>> m_counted;
    std::uint32_t m_size = 0;
    std::uint32_t m_block_entries = 1;
};

class address_runs {
public:
    // Sorts its chunks with buffer's storage, which must outlive it (the
    // runs of several pools may share one buffer: one chunk is sorted at a
    // time).
    explicit address_runs(address_sort_buffer& buffer) noexcept : m_buffer(&buffer) {}
    address_runs(const address_runs&) = delete;
    address_runs& operator=(const address_runs&) = delete;

    // One reference with a count (>= 1). Raises std::bad_alloc, keeping
    // everything appended before.
    void append(std::uintptr_t address, std::uint32_t count) {
        if (count == 1) {
            if (m_plain_count == m_plain_capacity) {
                make_plain_room();
            }
            m_plain[m_plain_count++] = address;
        } else {
            if (m_counted_count == m_counted_capacity) {
                make_counted_room();
            }
            m_counted[m_counted_count++] = address_value{address, count};
        }
    }

    // Sorts what is still unsorted into runs. Raises std::bad_alloc, after
    // which the unsorted references are still kept.
    void seal();
    // seal(), then gives back the chunks' storage.
    void finish();

    std::vector<address_run>& runs() noexcept { return m_runs; }
    const std::vector<address_run>& runs() const noexcept { return m_runs; }
    // References not yet sorted into a run.
    std::uint32_t unsorted() const noexcept { return m_plain_count + m_counted_count; }
    address_sort_buffer& sort_buffer() const noexcept { return *m_buffer; }

private:
    void make_plain_room();
    void make_counted_room();
    // Makes room for at least count more counted references (sealing the
    // counted chunk first when it cannot grow enough).
    void reserve_counted(std::uint32_t count);
    void seal_plain();
    void seal_counted();
    // Makes items[0 .. n) (ascending, distinct) a run stored in blocks. The
    // chunk they come from is not touched, so a failure (std::bad_alloc)
    // loses nothing.
    template <typename T>
    void add_run(const T* items, std::uint32_t n,
                 std::vector<std::unique_ptr<T[]>> address_run::*blocks);

    address_sort_buffer* m_buffer;
    std::unique_ptr<std::uintptr_t[]> m_plain;
    std::uint32_t m_plain_count = 0;
    std::uint32_t m_plain_capacity = 0;
    std::unique_ptr<address_value[]> m_counted;
    std::uint32_t m_counted_count = 0;
    std::uint32_t m_counted_capacity = 0;
    std::vector<address_run> m_runs;
};

#include "engine/reference_collector.h"

#include <cstring>
#include <new>
#include <vector>

reference_collector::reference_collector(address_sort_buffer& buffer)
    : m_slots(new slot[2 * slot_sets]), m_spilled(buffer) {
    clear_slots();
}

void reference_collector::clear_slots() noexcept {
    for (std::uint32_t i = 0; i < 2 * slot_sets; ++i) {
        m_slots[i] = slot{0, 0};
    }
}

void reference_collector::take_slot(slot* set, std::uintptr_t address) {
    // Keep the busier of the two strings of the set; the other one leaves
    // with the references counted so far.
    slot& victim = set[0].address == 0            ? set[0]
                   : set[1].address == 0          ? set[1]
                   : set[1].count <= set[0].count ? set[1]
                                                  : set[0];
    if (victim.address != 0) {
        spill(victim.address, victim.count);
    }
    victim = slot{address, 1};
}

void reference_collector::spill_slots() {
    for (std::uint32_t i = 0; i < 2 * slot_sets; ++i) {
        if (m_slots[i].address != 0) {
            spill(m_slots[i].address, m_slots[i].count);
            m_slots[i] = slot{0, 0};
        }
    }
}

address_runs& reference_collector::finish() {
    spill_slots();
    m_spilled.finish();
    return m_spilled;
}

void reference_collector::add_to(string_info_list& list) {
    finish();
    // The runs and the entries already in the list (which count like
    // references met before), sorted and collapsed in one array.
    std::vector<address_value> items;
    std::uint64_t total = list.get_count();
    for (const address_run& run : m_spilled.runs()) {
        total += run.size();
    }
    if (total > 0xFFFFFFFFu) {
        throw std::bad_alloc();
    }
    items.resize(static_cast<std::size_t>(total));
    std::uint32_t n = 0;
    for (const address_run& run : m_spilled.runs()) {
        for (std::uint32_t i = 0; i < run.size(); ++i) {
            items[n++] = run.at(i);
        }
    }
    const std::uint32_t existing = list.get_count();
    for (std::uint32_t i = 0; i < existing; ++i) {
        items[n++] = address_value{reinterpret_cast<std::uintptr_t>(list[i].text), list[i].count};
    }
    const std::uint32_t distinct = sort_and_collapse(items.data(), n, m_spilled.sort_buffer());

    list.set_count(distinct);
    string_info* out = list.data();
    for (std::uint32_t i = 0; i < distinct; ++i) {
        const char* text = reinterpret_cast<const char*>(items[i].address);
        out[i] = string_info{text, static_cast<std::uint32_t>(std::strlen(text)), items[i].value};
    }
    m_spilled.runs().clear(); // give the memory back at once
}

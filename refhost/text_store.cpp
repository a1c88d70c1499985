#include "refhost/text_store.h"

#include <cstring>

namespace refhost {

const char* text_store::store(std::string_view text) {
    const std::size_t need = text.size() + 1;
    // Laid out as a heap lays out allocations: a header before each block and
    // the block rounded up to the granularity, so that two stored texts are
    // never adjacent (a text starting right after another's NUL would look
    // like a shared tail to anyone estimating memory from addresses).
    const std::size_t slot =
        heap_header + (need + heap_granularity - 1) / heap_granularity * heap_granularity;
    char* target = nullptr;
    if (slot > max_block_size / 4) {
        // Large texts get a block of their own; the current block goes on.
        m_blocks.push_back(block{std::unique_ptr<char[]>(new char[slot]), slot});
        target = m_blocks.back().bytes.get() + heap_header;
    } else {
        if (slot > m_left) {
            const std::size_t size = m_next_block_size;
            m_blocks.push_back(block{std::unique_ptr<char[]>(new char[size]), size});
            m_next = m_blocks.back().bytes.get();
            m_left = size;
            if (m_next_block_size < max_block_size) {
                m_next_block_size *= 2;
            }
        }
        target = m_next + heap_header;
        m_next += slot;
        m_left -= slot;
    }
    std::memcpy(target, text.data(), text.size());
    target[text.size()] = '\0';
    m_used += need;
    return target;
}

std::size_t text_store::bytes_allocated() const noexcept {
    std::size_t total = m_blocks.capacity() * sizeof(block);
    for (const block& b : m_blocks) {
        total += b.size;
    }
    return total;
}

namespace {

std::uint32_t text_hash(std::string_view text) {
    std::uint32_t h = 2166136261u; // FNV-1a
    for (const char c : text) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h;
}

} // namespace

const char* text_interner::intern(std::string_view text) {
    if ((m_count + 1) * 2 > m_slots.size()) {
        rehash(m_slots.empty() ? 64 : m_slots.size() * 2);
    }
    const std::uint32_t hash = text_hash(text);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        slot& s = m_slots[i];
        if (s.text == nullptr) {
            s = slot{m_store.store(text), static_cast<std::uint32_t>(text.size()), hash};
            ++m_count;
            return s.text;
        }
        if (s.hash == hash && s.length == text.size() &&
            std::memcmp(s.text, text.data(), text.size()) == 0) {
            return s.text;
        }
    }
}

void text_interner::rehash(std::size_t slot_count) {
    chunked_array<slot> old = std::move(m_slots);
    m_slots.assign(slot_count, slot{nullptr, 0, 0});
    const std::size_t mask = slot_count - 1;
    for (std::size_t k = 0; k < old.size(); ++k) {
        const slot& s = old[k];
        if (s.text != nullptr) {
            std::size_t i = s.hash & mask;
            while (m_slots[i].text != nullptr) {
                i = (i + 1) & mask;
            }
            m_slots[i] = s;
        }
    }
}

} // namespace refhost
